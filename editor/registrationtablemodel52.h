#pragma once

#include "params/tabvalues52.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The registration history of a 2.52 register, one row per record.
class RegistrationTableModel52 : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DateColumn, RegNumberColumn, InnColumn, FnNumberColumn, TaxColumn, WorkModeColumn,
                  ClosedColumn, ColumnCount };

    explicit RegistrationTableModel52(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    void setRows(const QVector<RegistrationRow52> &rows);
    const QVector<RegistrationRow52> &rows() const { return m_rows; }

private:
    bool storeValue(const QModelIndex &index, const QVariant &value, int role);
    QVariant displayData(const RegistrationRow52 &row, int column) const;
    QVariant editData(const RegistrationRow52 &row, int column) const;
    bool setEditData(RegistrationRow52 &row, int column, const QVariant &value);

    QVector<RegistrationRow52> m_rows;
    const QStringList m_taxNames;
    const QStringList m_workModeNames;
};
