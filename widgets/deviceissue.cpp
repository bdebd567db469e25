#include "widgets/deviceissue.h"

DeviceIssue::DeviceIssue(DeviceWidget *widget, QWidget *control, const QString &text)
    : Issue(text)
    , widget(widget)
    , control(control)
{
}
