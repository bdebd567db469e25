#include "editor/usertablemodel52.h"

#include "params/choicelists.h"
#include "widgets/checkboxitemdelegate.h"

UserTableModel52::UserTableModel52(QObject *parent)
    : QAbstractTableModel(parent), m_rights(ChoiceLists::userRights())
{
}

int UserTableModel52::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int UserTableModel52::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UserTableModel52::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case NameColumn: return tr("Имя");
    case RightsColumn: return tr("Права");
    case BarcodeColumn: return tr("Штрихкод");
    case PositionColumn: return tr("Должность");
    case ActiveColumn: return tr("Акт.");
    default: return QVariant();
    }
}

Qt::ItemFlags UserTableModel52::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    switch (index.column()) {
    case ActiveColumn: return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
    case RightsColumn: return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    default: return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    }
}

QVariant UserTableModel52::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const UserRow52 &row = m_rows.at(index.row());
    if (index.column() == ActiveColumn)
        return CheckBoxItemDelegate::checkData(row.active, role);
    if (role == Qt::DisplayRole)
        return displayData(row, index.column());
    if (role == Qt::EditRole)
        return editData(row, index.column());
    return QVariant();
}

QVariant UserTableModel52::displayData(const UserRow52 &row, int column) const
{
    switch (column) {
    case NameColumn: return row.name;
    case RightsColumn:
        return row.rights >= 1 && row.rights <= m_rights.size() ? m_rights.at(row.rights - 1) : QVariant();
    case BarcodeColumn: return row.barcode;
    case PositionColumn:
        return row.position >= 1 && row.position <= m_positionNames.size()
                ? m_positionNames.at(row.position - 1) : QVariant();
    default: return QVariant();
    }
}

QVariant UserTableModel52::editData(const UserRow52 &row, int column) const
{
    switch (column) {
    case NameColumn: return row.name;
    case RightsColumn: return row.rights;
    case BarcodeColumn: return row.barcode;
    case PositionColumn: return row.position;
    default: return QVariant();
    }
}

// Views and the window's edit tracking learn of a changed cell only from
// the model.
bool UserTableModel52::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!storeValue(index, value, role))
        return false;
    emit dataChanged(index, index);
    return true;
}

bool UserTableModel52::storeValue(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return false;
    UserRow52 &row = m_rows[index.row()];
    if (role == Qt::CheckStateRole) {
        if (index.column() != ActiveColumn)
            return false;
        row.active = value.toInt() == Qt::Checked;
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    switch (index.column()) {
    case NameColumn: row.name = value.toString(); return true;
    case BarcodeColumn: row.barcode = value.toString(); return true;
    case PositionColumn: row.position = value.toInt(); return true;
    case ActiveColumn: row.active = value.toBool(); return true;
    default: return false;
    }
}

void UserTableModel52::setUsers(const QVector<UserRow52> &rows, const QStringList &positionNames)
{
    beginResetModel();
    m_rows = rows;
    m_positionNames = positionNames;
    endResetModel();
}
