#pragma once

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

    struct Row
    {
        QString name;
        int rights = 0;      // 1..4
        QString barcode;     // with its check digit
        int position = 0;    // 1-based
        bool active = false;
        int record = -1;     // 0-based record number
    };

    explicit UserTableModel52(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    void setUsers(const QVector<Row> &rows, const QStringList &positionNames);
    const QVector<Row> &users() const { return m_rows; }

private:
    QVariant displayData(const Row &row, int column) const;
    QVariant editData(const Row &row, int column) const;

    QVector<Row> m_rows;
    QStringList m_positionNames;
    const QStringList m_rights;
};
