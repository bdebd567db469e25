#include "goods/goodssortfilterproxymodel.h"

GoodsSortFilterProxyModel::GoodsSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

QVariant GoodsSortFilterProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

void GoodsSortFilterProxyModel::sort(int column, Qt::SortOrder order)
{
    emit sorting();
    QSortFilterProxyModel::sort(column, order);
}
