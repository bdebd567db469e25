#include "app/devicetablemodel.h"

#include "params/deviceregistry.h"

DeviceTableModel::DeviceTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int DeviceTableModel::rowCount(const QModelIndex &) const
{
    return m_records.size();
}

int DeviceTableModel::columnCount(const QModelIndex &) const
{
    return 4;
}

QVariant DeviceTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_records.size())
        return {};
    const DeviceRecord &r = m_records.at(index.row());
    switch (index.column()) {
    case 0: return r.serial;
    case 1: return r.name;
    case 2: return r.version;
    case 3: return r.addr;
    default: return {};
    }
}

QVariant DeviceTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0: return tr("Заводской номер");
    case 1: return tr("Наименование");
    case 2: return tr("Версия");
    case 3: return tr("Адрес");
    default: return {};
    }
}

DeviceRecord DeviceTableModel::record(int row) const
{
    return row >= 0 && row < m_records.size() ? m_records.at(row) : DeviceRecord();
}

void DeviceTableModel::loadFromRegistry()
{
    beginResetModel();
    m_records.clear();
    DeviceRegistry registry;
    m_records = registry.devices();
    endResetModel();
}
