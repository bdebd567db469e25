#include "goods/goodstablemodel.h"

GoodsTableModel::GoodsTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int GoodsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_goods.size();
}

int GoodsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant GoodsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case NameColumn:
        return tr("Наименование");
    case IntcodeColumn:
        return tr("Вн. код");
    case BarcodeColumn:
        return tr("Штрихкод");
    case PriceColumn:
        return tr("Цена");
    case DeptColumn:
        return tr("Отдел");
    default:
        return QVariant();
    }
}

QVariant GoodsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_goods.size()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    const GoodsItem &item = m_goods.at(index.row());
    switch (index.column()) {
    case NameColumn:
        return item.name;
    case IntcodeColumn:
        return item.intcode;
    case BarcodeColumn:
        return item.barcode;
    case PriceColumn:
        return item.price;
    case DeptColumn:
        return role == Qt::EditRole ? QVariant(item.dept) : departmentName(item.dept);
    default:
        return QVariant();
    }
}

Qt::ItemFlags GoodsTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

bool GoodsTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_goods.size()
        || index.column() < 0 || index.column() >= ColumnCount)
        return false;
    // An editor closed without a change leaves the table as saved.
    if (store(m_goods[index.row()], index.column(), value))
        setModified(true);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

bool GoodsTableModel::store(GoodsItem &item, int column, const QVariant &value)
{
    auto assign = [](auto &field, const auto &newValue) {
        if (field == newValue)
            return false;
        field = newValue;
        return true;
    };
    switch (column) {
    case NameColumn:
        return assign(item.name, value.toString());
    case IntcodeColumn:
        return assign(item.intcode, value.toString());
    case BarcodeColumn:
        return assign(item.barcode, value.toString());
    case PriceColumn:
        return assign(item.price, value.toDouble());
    default:
        return assign(item.dept, value.toInt());
    }
}

bool GoodsTableModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || row > m_goods.size() || count <= 0)
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    m_goods.insert(row, count, GoodsItem());
    endInsertRows();
    setModified(true);
    return true;
}

bool GoodsTableModel::removeRows(int row, int count, const QModelIndex &parent)
{
    // Announcing rows that do not exist would leave the views out of step.
    if (parent.isValid() || row < 0 || count <= 0 || row + count > m_goods.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_goods.remove(row, count);
    endRemoveRows();
    setModified(true);
    return true;
}

void GoodsTableModel::setGoods(const GoodsList &goods)
{
    beginResetModel();
    m_goods = goods;
    endResetModel();
    setModified(false);
}

void GoodsTableModel::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

GoodsList GoodsTableModel::goods() const
{
    return m_goods;
}

void GoodsTableModel::setDepartmentNames(const QStringList &names)
{
    m_departmentNames = names;
    if (!m_goods.isEmpty())
        emit dataChanged(index(0, DeptColumn), index(m_goods.size() - 1, DeptColumn),
                         {Qt::DisplayRole});
}

QStringList GoodsTableModel::departmentNames() const
{
    return m_departmentNames;
}

QVariant GoodsTableModel::departmentName(int dept) const
{
    if (dept < 1 || dept > m_departmentNames.size())
        return QVariant();
    return m_departmentNames.at(dept - 1);
}
