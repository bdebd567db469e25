#include "widgets/deviceprogressdialog.h"

#include <QApplication>
#include <QProgressBar>

DeviceProgressDialog::DeviceProgressDialog(QWidget *parent, Qt::WindowFlags flags)
    : QProgressDialog(parent, flags)
{
    auto *bar = new QProgressBar(this);
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    setBar(bar);
    // With the endless bar every value equals the maximum, so the first
    // reported count (a LAN search reports 0 for an answer it ignores) would
    // hide the dialog while the work goes on. It closes only when its owner
    // or the cancel button says so.
    setAutoReset(false);
    setAutoClose(false);
}

void DeviceProgressDialog::connected()
{
    if (!m_progressText.isEmpty())
        setLabelText(m_progressText);
}

void DeviceProgressDialog::dismiss()
{
    if (!isVisible()) {
        close();
        return;
    }
    const QRect covered = frameGeometry();
    close();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window == this || !window->isVisible())
            continue;
        const QRect beneath = covered.intersected(window->frameGeometry());
        if (!beneath.isEmpty())
            window->repaint(QRect(window->mapFromGlobal(beneath.topLeft()), beneath.size()));
    }
}
