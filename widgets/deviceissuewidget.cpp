#include "widgets/deviceissuewidget.h"

#include "widgets/deviceissue.h"
#include "widgets/issuelistmodel.h"

#include <QTabWidget>

DeviceIssueWidget::DeviceIssueWidget(QTabWidget *tabs, QWidget *parent)
    : IssueDock(QStringLiteral("deviceIssueWidget"), parent)
    , m_tabs(tabs)
{
}

void DeviceIssueWidget::addIssue(DeviceWidget *widget, QWidget *control, const QString &text)
{
    model()->addIssue(QSharedPointer<Issue>(new DeviceIssue(widget, control, text)));
}

void DeviceIssueWidget::showIssue(const QSharedPointer<Issue> &problem)
{
    if (!m_tabs)
        return;
    const auto issue = problem.dynamicCast<DeviceIssue>();
    if (!issue || !issue->widget)
        return;
    m_tabs->setCurrentWidget(issue->widget);
    if (issue->control)
        issue->control->setFocus(Qt::OtherFocusReason);
}
