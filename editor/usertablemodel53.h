#pragma once

#include "params/tabvalues53.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The users table of a 2.53 register. Each row remembers the user record it
// came from, so hidden users leave no gap in what is written back.
class UserTableModel53 : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        NameColumn, RightsColumn, BarcodeColumn, InnColumn, FullNameColumn,
        PasswordColumn, PositionColumn, ActiveColumn, ColumnCount
    };

    explicit UserTableModel53(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QVector<UserRow53> users() const { return m_rows; }
    QStringList positionNames() const { return m_positionNames; }
    void setUsers(const QVector<UserRow53> &rows, const QStringList &positionNames);

private:
    bool storeValue(const QModelIndex &index, const QVariant &value, int role);
    QVariant displayData(const UserRow53 &row, int column) const;
    QVariant editData(const UserRow53 &row, int column) const;

    QVector<UserRow53> m_rows;
    QStringList m_positionNames;
    QStringList m_rights;
};
