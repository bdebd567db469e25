#pragma once

#include <QProgressDialog>
#include <QString>

// The modal busy indicator of every exchange and LAN search: an endless bar,
// a label and a cancel button, with a second label for once the link is up.
class DeviceProgressDialog : public QProgressDialog
{
    Q_OBJECT

public:
    // A title bar without close, minimise or maximise buttons: the dialog
    // closes only when its exchange ends or its cancel button is pressed.
    static constexpr Qt::WindowFlags OwnerFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;

    explicit DeviceProgressDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    QString progressText() const { return m_progressText; }
    void setProgressText(const QString &text) { m_progressText = text; }

public slots:
    void connected();
    // Closes the dialog and has the windows it covered repaint that area at
    // once, before its owner shows the outcome: a box opened next would
    // otherwise stand over the dialog's blank frame until it is answered.
    void dismiss();

private:
    QString m_progressText;
};
