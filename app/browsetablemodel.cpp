#include "app/browsetablemodel.h"

#include <QJsonArray>
#include <QJsonObject>

BrowseTableModel::BrowseTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int BrowseTableModel::rowCount(const QModelIndex &) const
{
    return m_devices.size();
}

int BrowseTableModel::columnCount(const QModelIndex &) const
{
    return 3;
}

QVariant BrowseTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_devices.size())
        return {};
    const FoundDevice &d = m_devices.at(index.row());
    switch (index.column()) {
    case 0: return d.serial;
    case 1: return d.ip;
    case 2: return d.mac;
    default: return {};
    }
}

QVariant BrowseTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0: return tr("Заводской номер");
    case 1: return tr("IP адрес");
    case 2: return tr("MAC адрес");
    default: return {};
    }
}

void BrowseTableModel::setDevices(const QJsonArray &array)
{
    beginResetModel();
    m_devices.clear();
    for (const QJsonValue &value : array) {
        const QJsonObject o = value.toObject();
        const FoundDevice d{o.value(QStringLiteral("device")).toString(),
                            o.value(QStringLiteral("ip")).toString(),
                            o.value(QStringLiteral("mac")).toString()};
        if (!m_devices.contains(d))
            m_devices.append(d);
    }
    endResetModel();
}

FoundDevice BrowseTableModel::device(int row) const
{
    return row >= 0 && row < m_devices.size() ? m_devices.at(row) : FoundDevice();
}
