#pragma once

#include "app/founddevice.h"

#include <QAbstractTableModel>
#include <QVector>

class QJsonArray;

class BrowseTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit BrowseTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Replaces the rows; a register that answered twice is listed once.
    void setDevices(const QJsonArray &array);
    FoundDevice device(int row) const;

private:
    QVector<FoundDevice> m_devices;
};
