#pragma once

#include <QIdentityProxyModel>

// Gives every cell and header of the register list its font.
class DeviceProxyModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    explicit DeviceProxyModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
};
