#include "app/deviceproxymodel.h"

#include <QFont>

namespace {
QFont listFont()
{
    return QFont(QStringLiteral("Tahoma"), 10);
}
}

DeviceProxyModel::DeviceProxyModel(QObject *parent)
    : QIdentityProxyModel(parent)
{
}

QVariant DeviceProxyModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::FontRole)
        return listFont();
    return QIdentityProxyModel::data(index, role);
}

QVariant DeviceProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::FontRole)
        return listFont();
    return QIdentityProxyModel::headerData(section, orientation, role);
}
