#pragma once

#include <QDockWidget>
#include <QSharedPointer>

class Issue;
class IssueListModel;
class IssueListView;

// The "Проблемы" dock at the bottom of a window: a read-only list of the last
// check's problems. A double click hands the problem to the window's kind of
// dock, which leads the user to it.
class IssueDock : public QDockWidget
{
    Q_OBJECT

public:
    // Its owner clears it before every check.
    IssueListModel *model() const { return m_model; }
    // What the empty list says; "Проблем не найдено" unless the dock lists
    // something else.
    void setPlaceholderText(const QString &text);

protected:
    IssueDock(const QString &objectName, QWidget *parent);

    virtual void showIssue(const QSharedPointer<Issue> &issue) = 0;

private slots:
    void onDoubleClicked(const QModelIndex &index);

private:
    IssueListView *m_view = nullptr;
    IssueListModel *m_model = nullptr;
};
