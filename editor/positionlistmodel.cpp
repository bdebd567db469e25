#include "editor/positionlistmodel.h"

PositionListModel::PositionListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int PositionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_names.size();
}

QVariant PositionListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_names.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_names.at(index.row());
    return {};
}

Qt::ItemFlags PositionListModel::flags(const QModelIndex &index) const
{
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

bool PositionListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_names.size())
        return false;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return false;
    if (value == data(index, role))
        return false;
    const QString text = value.toString();
    if (text.trimmed().isEmpty())
        return false;
    m_names[index.row()] = text;
    emit dataChanged(index, index, {role});
    return true;
}

void PositionListModel::setNames(const QStringList &names)
{
    beginResetModel();
    m_names = names;
    endResetModel();
}
