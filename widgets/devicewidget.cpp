#include "widgets/devicewidget.h"

DeviceWidget::DeviceWidget(QWidget *parent)
    : QWidget(parent)
{
}

void DeviceWidget::prepareValidation(ValidationContext *context)
{
    Q_UNUSED(context)
}
