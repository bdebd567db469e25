#pragma once

#include "widgets/issuedock.h"

#include <QPointer>

class DeviceWidget;
class QTabWidget;

// The "Проблемы" dock of a device window. A double click on a problem makes
// its tab current and focuses the offending control.
class DeviceIssueWidget : public IssueDock
{
    Q_OBJECT

public:
    // `tabs` is the window's tab widget (not owned).
    explicit DeviceIssueWidget(QTabWidget *tabs, QWidget *parent = nullptr);

    // `control` may be null: the double click then only switches the tab.
    void addIssue(DeviceWidget *widget, QWidget *control, const QString &text);

protected:
    void showIssue(const QSharedPointer<Issue> &issue) override;

private:
    QPointer<QTabWidget> m_tabs;
};
