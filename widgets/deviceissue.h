#pragma once

#include "widgets/devicewidget.h"
#include "widgets/issue.h"

#include <QPointer>

// A problem in one tab of a device window. Neither pointer is owned; both are
// guarded, so an issue listed after its tab is gone leads nowhere instead of
// into freed memory.
class DeviceIssue : public Issue
{
public:
    DeviceIssue(DeviceWidget *widget, QWidget *control, const QString &text);

    // The tab whose value is wrong.
    QPointer<DeviceWidget> widget;
    // The control inside that tab to focus; may be null.
    QPointer<QWidget> control;
};
