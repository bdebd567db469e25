#pragma once

#include "session/registersession.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;

// Adds a register to the registry: by asking it for its identity at an
// address, or offline by serial number and firmware family.
class RegisterDeviceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RegisterDeviceDialog(QWidget *parent = nullptr);

    static QStringList supportedVersionPatterns();
    static bool isSupportedVersion(int major, int minor, int build);

private slots:
    void validate();
    void browse();
    void onQueryFinished();

private:
    void queryDevice(const QString &address);
    void registerOffline(const QString &serial);
    void offerOffline(const QString &serial, const QString &address);

    QLineEdit *m_serialEdit = nullptr;
    QLineEdit *m_ipEdit = nullptr;
    RegisterSession m_session;
};
