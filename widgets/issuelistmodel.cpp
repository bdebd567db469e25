#include "widgets/issuelistmodel.h"

IssueListModel::IssueListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int IssueListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_issues.size();
}

QVariant IssueListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.model() != this)
        return QVariant();
    const QSharedPointer<Issue> item = issue(index.row());
    return item ? QVariant(item->text) : QVariant();
}

void IssueListModel::addIssue(const QSharedPointer<Issue> &issue)
{
    const int row = m_issues.size();
    beginInsertRows(QModelIndex(), row, row);
    m_issues.append(issue);
    endInsertRows();
}

void IssueListModel::clear()
{
    beginResetModel();
    m_issues.clear();
    endResetModel();
}

QSharedPointer<Issue> IssueListModel::issue(int row) const
{
    if (row < 0 || row >= m_issues.size())
        return QSharedPointer<Issue>();
    return m_issues.at(row);
}
