#include "editor/depttablemodel.h"

#include "params/choicelists.h"

namespace {

QVariant listEntry(const QStringList &list, int position)
{
    if (position < 0 || position >= list.size())
        return {};
    return list.at(position);
}

}

DeptTableModel::DeptTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_vatRates(ChoiceLists::vatRates())
    , m_taxSystems(ChoiceLists::taxSystems())
{
}

int DeptTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int DeptTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DeptTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return tr("Наименование");
    case VatColumn:
        return tr("Ставка НДС");
    case TaxColumn:
        return tr("СНО");
    default:
        return {};
    }
}

Qt::ItemFlags DeptTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

QVariant DeptTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const DeptRow &row = m_rows.at(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case NameColumn:
            return row.name;
        case VatColumn:
            return listEntry(m_vatRates, row.vat - 1);
        case TaxColumn:
            return listEntry(m_taxSystems, row.taxIndex);
        default:
            return {};
        }
    }
    if (role == Qt::EditRole) {
        switch (index.column()) {
        case NameColumn:
            return row.name;
        case VatColumn:
            return row.vat;
        case TaxColumn:
            return row.taxIndex;
        default:
            return {};
        }
    }
    return {};
}

// Views and the window's edit tracking learn of a changed cell only from
// the model.
bool DeptTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!storeValue(index, value, role))
        return false;
    emit dataChanged(index, index);
    return true;
}

bool DeptTableModel::storeValue(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_rows.size())
        return false;
    DeptRow &row = m_rows[index.row()];
    switch (index.column()) {
    case NameColumn:
        row.name = value.toString();
        return true;
    case VatColumn:
        row.vat = value.toInt();
        return true;
    case TaxColumn:
        row.taxIndex = value.toInt();
        return true;
    default:
        return false;
    }
}

void DeptTableModel::setDepartments(const QVector<DeptRow> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}
