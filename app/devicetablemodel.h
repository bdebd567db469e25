#pragma once

#include "params/devicerecord.h"

#include <QAbstractTableModel>
#include <QVector>

class DeviceTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DeviceTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    DeviceRecord record(int row) const;

public slots:
    void loadFromRegistry();

private:
    QVector<DeviceRecord> m_records;
};
