#include "deviceprogressdialog.h"

#include <QProgressBar>

DeviceProgressDialog::DeviceProgressDialog(QWidget *parent, Qt::WindowFlags flags)
    : QProgressDialog(parent, flags)
{
    auto *bar = new QProgressBar(this);
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    setBar(bar);
}

void DeviceProgressDialog::connected()
{
    if (!m_progressText.isEmpty())
        setLabelText(m_progressText);
}
