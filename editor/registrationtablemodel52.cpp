#include "editor/registrationtablemodel52.h"

#include "params/choicelists.h"
#include "widgets/checkboxitemdelegate.h"

RegistrationTableModel52::RegistrationTableModel52(QObject *parent)
    : QAbstractTableModel(parent),
      m_taxNames(ChoiceLists::taxSystems()),
      m_workModeNames(ChoiceLists::workModes())
{
}

int RegistrationTableModel52::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int RegistrationTableModel52::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RegistrationTableModel52::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case DateColumn: return tr("Дата регистрации");
    case RegNumberColumn: return tr("Рег. номер ККТ");
    case InnColumn: return tr("ИНН организации");
    case FnNumberColumn: return tr("Рег. номер ФН");
    case TaxColumn: return tr("СНО");
    case WorkModeColumn: return tr("Режимы работы");
    case ClosedColumn: return tr("Закрыто");
    default: return QVariant();
    }
}

Qt::ItemFlags RegistrationTableModel52::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

QVariant RegistrationTableModel52::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const RegistrationRow52 &row = m_rows.at(index.row());
    if (index.column() == ClosedColumn)
        return CheckBoxItemDelegate::checkData(row.closed, role);
    if (role == Qt::DisplayRole)
        return displayData(row, index.column());
    if (role == Qt::EditRole)
        return editData(row, index.column());
    return QVariant();
}

QVariant RegistrationTableModel52::displayData(const RegistrationRow52 &row, int column) const
{
    switch (column) {
    case TaxColumn: return ChoiceLists::bitNames(row.taxSystems, m_taxNames, 1, m_taxNames.value(0));
    case WorkModeColumn: return ChoiceLists::bitNames(row.workModes, m_workModeNames, 0, QStringLiteral("-"));
    default: return editData(row, column);
    }
}

QVariant RegistrationTableModel52::editData(const RegistrationRow52 &row, int column) const
{
    switch (column) {
    case DateColumn: return row.dateTime;
    case RegNumberColumn: return row.regNumber;
    case InnColumn: return row.inn;
    case FnNumberColumn: return row.fnNumber;
    case TaxColumn: return row.taxSystems;
    case WorkModeColumn: return row.workModes;
    default: return QVariant();
    }
}

// Views and the window's edit tracking learn of a changed cell only from
// the model.
bool RegistrationTableModel52::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!storeValue(index, value, role))
        return false;
    emit dataChanged(index, index);
    return true;
}

bool RegistrationTableModel52::storeValue(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return false;
    RegistrationRow52 &row = m_rows[index.row()];
    if (role == Qt::CheckStateRole) {
        if (index.column() != ClosedColumn)
            return false;
        row.closed = value.toInt() == Qt::Checked;
        return true;
    }
    return role == Qt::EditRole && setEditData(row, index.column(), value);
}

bool RegistrationTableModel52::setEditData(RegistrationRow52 &row, int column,
                                           const QVariant &value)
{
    switch (column) {
    case DateColumn: row.dateTime = value.toDateTime(); return true;
    case RegNumberColumn: row.regNumber = value.toString(); return true;
    case InnColumn: row.inn = value.toString(); return true;
    case FnNumberColumn: row.fnNumber = value.toString(); return true;
    case TaxColumn: row.taxSystems = value.toInt(); return true;
    case WorkModeColumn: row.workModes = value.toInt(); return true;
    case ClosedColumn: row.closed = value.toBool(); return true;
    default: return false;
    }
}

bool RegistrationTableModel52::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || row > m_rows.size() || count < 1)
        return false;
    beginInsertRows(parent, row, row + count - 1);
    m_rows.insert(row, count, RegistrationRow52());
    endInsertRows();
    return true;
}

bool RegistrationTableModel52::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > m_rows.size())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    m_rows.remove(row, count);
    endRemoveRows();
    return true;
}

void RegistrationTableModel52::setRows(const QVector<RegistrationRow52> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}
