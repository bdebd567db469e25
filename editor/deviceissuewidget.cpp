#include "deviceissuewidget.h"

#include "deviceissue.h"
#include "issuelistmodel.h"

#include <QListView>
#include <QTabWidget>

DeviceIssueWidget::DeviceIssueWidget(QTabWidget *tabs, QWidget *parent)
    : QDockWidget(parent)
    , m_tabs(tabs)
    , m_view(new QListView(this))
    , m_model(new IssueListModel(this))
{
    setObjectName(QStringLiteral("deviceIssueWidget"));
    setWindowTitle(tr("Проблемы"));
    setAllowedAreas(Qt::BottomDockWidgetArea);
    m_view->setObjectName(QStringLiteral("issueView"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWidget(m_view);
    connect(m_view, &QListView::doubleClicked, this, &DeviceIssueWidget::showIssue);
}

void DeviceIssueWidget::addIssue(DeviceWidget *widget, QWidget *control, const QString &text)
{
    m_model->addIssue(QSharedPointer<Issue>(new DeviceIssue(widget, control, text)));
}

IssueListModel *DeviceIssueWidget::model() const
{
    return m_model;
}

void DeviceIssueWidget::showIssue(const QModelIndex &index)
{
    if (!m_tabs)
        return;
    const auto issue = m_model->issue(index.row()).dynamicCast<DeviceIssue>();
    if (!issue || !issue->widget)
        return;
    m_tabs->setCurrentWidget(issue->widget);
    if (issue->control)
        issue->control->setFocus(Qt::OtherFocusReason);
}
