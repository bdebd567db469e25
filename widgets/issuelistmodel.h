#pragma once

#include "widgets/issue.h"

#include <QAbstractListModel>
#include <QSharedPointer>
#include <QVector>

// The problems of one validation run, in the order they were reported.
// Clearing the model drops the issues.
class IssueListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit IssueListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The issue's text in the display role; nothing otherwise.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void addIssue(const QSharedPointer<Issue> &issue);
    void clear();

    // The issue in `row`, or null when there is no such row.
    QSharedPointer<Issue> issue(int row) const;

private:
    QVector<QSharedPointer<Issue>> m_issues;
};
