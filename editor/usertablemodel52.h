#pragma once

#include "params/tabvalues52.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The listed users of a 2.52 register: name, rights, barcode, position and
// whether the user is active. Each row remembers the record it came from.
class UserTableModel52 : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, RightsColumn, BarcodeColumn, PositionColumn, ActiveColumn, ColumnCount };

    explicit UserTableModel52(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    void setUsers(const QVector<UserRow52> &rows, const QStringList &positionNames);
    const QVector<UserRow52> &users() const { return m_rows; }

private:
    bool storeValue(const QModelIndex &index, const QVariant &value, int role);
    QVariant displayData(const UserRow52 &row, int column) const;
    QVariant editData(const UserRow52 &row, int column) const;

    QVector<UserRow52> m_rows;
    QStringList m_positionNames;
    const QStringList m_rights;
};
