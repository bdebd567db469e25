#include "editor/usertablemodel53.h"

#include "params/choicelists.h"

namespace {

QVariant entry(const QStringList &list, int oneBased)
{
    if (oneBased < 1 || oneBased > list.size())
        return {};
    return list.at(oneBased - 1);
}

}

UserTableModel53::UserTableModel53(QObject *parent)
    : QAbstractTableModel(parent)
    , m_rights(ChoiceLists::userRights())
{
}

int UserTableModel53::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int UserTableModel53::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UserTableModel53::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return tr("Имя");
    case RightsColumn:
        return tr("Права");
    case BarcodeColumn:
        return tr("Штрихкод");
    case InnColumn:
        return tr("ИНН");
    case FullNameColumn:
        return tr("Полное имя");
    case PasswordColumn:
        return tr("Пароль");
    case PositionColumn:
        return tr("Должность");
    case ActiveColumn:
        return tr("Акт.");
    default:
        return {};
    }
}

Qt::ItemFlags UserTableModel53::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    switch (index.column()) {
    case ActiveColumn:
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
    case RightsColumn:
    case PasswordColumn:
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    default:
        return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    }
}

QVariant UserTableModel53::displayData(const UserRow53 &row, int column) const
{
    switch (column) {
    case NameColumn:
        return row.name;
    case RightsColumn:
        return entry(m_rights, row.rights);
    case BarcodeColumn:
        return row.barcode;
    case InnColumn:
        return row.inn;
    case FullNameColumn:
        return row.fullName;
    case PasswordColumn:
        return row.password;
    case PositionColumn:
        return entry(m_positionNames, row.position);
    default:
        return {};
    }
}

QVariant UserTableModel53::editData(const UserRow53 &row, int column) const
{
    switch (column) {
    case RightsColumn:
        return row.rights;
    case PositionColumn:
        return row.position;
    case ActiveColumn:
        return row.active;
    default:
        return displayData(row, column);
    }
}

QVariant UserTableModel53::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const UserRow53 &row = m_rows.at(index.row());
    if (index.column() == ActiveColumn && (role == Qt::DisplayRole || role == Qt::CheckStateRole))
        return row.active ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::DisplayRole)
        return displayData(row, index.column());
    if (role == Qt::EditRole)
        return editData(row, index.column());
    return {};
}

// Views and the window's edit tracking learn of a changed cell only from
// the model.
bool UserTableModel53::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!storeValue(index, value, role))
        return false;
    emit dataChanged(index, index);
    return true;
}

bool UserTableModel53::storeValue(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return false;
    UserRow53 &row = m_rows[index.row()];
    if (role == Qt::CheckStateRole && index.column() == ActiveColumn) {
        row.active = value.toInt() == Qt::Checked;
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    switch (index.column()) {
    case NameColumn:
        row.name = value.toString();
        return true;
    case BarcodeColumn:
        row.barcode = value.toString();
        return true;
    case InnColumn:
        row.inn = value.toString();
        return true;
    case FullNameColumn:
        row.fullName = value.toString();
        return true;
    case PositionColumn:
        row.position = value.toInt();
        return true;
    case ActiveColumn:
        row.active = value.toBool();
        return true;
    default:
        return false;
    }
}

void UserTableModel53::setUsers(const QVector<UserRow53> &rows, const QStringList &positionNames)
{
    beginResetModel();
    m_rows = rows;
    m_positionNames = positionNames;
    endResetModel();
}
