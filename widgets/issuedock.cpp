#include "widgets/issuedock.h"

#include "widgets/issuelistmodel.h"
#include "widgets/issuelistview.h"

IssueDock::IssueDock(const QString &objectName, QWidget *parent)
    : QDockWidget(parent)
    , m_view(new IssueListView(this))
    , m_model(new IssueListModel(this))
{
    setObjectName(objectName);
    setWindowTitle(tr("Проблемы"));
    setAllowedAreas(Qt::BottomDockWidgetArea);
    m_view->setObjectName(QStringLiteral("issueView"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setPlaceholderText(tr("Проблем не найдено"));
    setWidget(m_view);
    connect(m_view, &IssueListView::doubleClicked, this, &IssueDock::onDoubleClicked);
}

void IssueDock::setPlaceholderText(const QString &text)
{
    m_view->setPlaceholderText(text);
}

void IssueDock::onDoubleClicked(const QModelIndex &index)
{
    const QSharedPointer<Issue> issue = m_model->issue(index.row());
    if (issue)
        showIssue(issue);
}
