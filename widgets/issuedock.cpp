#include "widgets/issuedock.h"

#include "widgets/issuelistmodel.h"

#include <QListView>

IssueDock::IssueDock(const QString &objectName, QWidget *parent)
    : QDockWidget(parent)
    , m_view(new QListView(this))
    , m_model(new IssueListModel(this))
{
    setObjectName(objectName);
    setWindowTitle(tr("Проблемы"));
    setAllowedAreas(Qt::BottomDockWidgetArea);
    m_view->setObjectName(QStringLiteral("issueView"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWidget(m_view);
    connect(m_view, &QListView::doubleClicked, this, &IssueDock::onDoubleClicked);
}

void IssueDock::onDoubleClicked(const QModelIndex &index)
{
    const QSharedPointer<Issue> issue = m_model->issue(index.row());
    if (issue)
        showIssue(issue);
}
