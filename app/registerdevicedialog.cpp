#include "app/registerdevicedialog.h"

#include "app/browsedevicedialog.h"
#include "params/deviceregistry.h"
#include "session/firmwarefamily.h"
#include "widgets/dialogs.h"
#include "widgets/exchangeprogress.h"
#include "widgets/ipaddressvalidator.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFrame *sunkenLine(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setLineWidth(1);
    line->setMidLineWidth(0);
    return line;
}

}

RegisterDeviceDialog::RegisterDeviceDialog(QWidget *parent)
    : QDialog(parent)
{
    // A register that does not answer is offered for offline registration,
    // so the dialog asks the probe itself.
    m_session.setProbeFirst(false);
    m_serialEdit = new QLineEdit(this);
    m_serialEdit->setObjectName(QStringLiteral("serialEdit"));
    m_serialEdit->setMaxLength(16);
    m_ipEdit = new QLineEdit(this);
    m_ipEdit->setObjectName(QStringLiteral("ipEdit"));
    m_ipEdit->setValidator(new IpAddressValidator(m_ipEdit));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Введите заводской номер ККТ"), this), 0, 0, 1, 3);
    grid->addWidget(m_serialEdit, 1, 0, 1, 3);
    grid->addWidget(sunkenLine(this), 2, 0);
    grid->addWidget(new QLabel(tr("или"), this), 2, 1, Qt::AlignHCenter);
    grid->addWidget(sunkenLine(this), 2, 2);
    grid->addWidget(new QLabel(tr("Введите IP адрес ККТ"), this), 3, 0, 1, 3);
    grid->addWidget(m_ipEdit, 4, 0, 1, 3);

    auto *browseButton = new QPushButton(tr("Обзор"), this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    auto *okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    auto *closeButton = new QPushButton(tr("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(browseButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(closeButton);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addSpacing(24);
    layout->addLayout(buttons, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setWindowTitle(tr("Регистрация ККТ"));

    connect(browseButton, &QPushButton::clicked, this, &RegisterDeviceDialog::browse);
    connect(okButton, &QPushButton::clicked, this, &RegisterDeviceDialog::validate);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList RegisterDeviceDialog::supportedVersionPatterns()
{
    return FirmwareFamily::patterns();
}

bool RegisterDeviceDialog::isSupportedVersion(int major, int minor, int build)
{
    return FirmwareFamily::isSupported(major, minor, build);
}

void RegisterDeviceDialog::validate()
{
    const QString serial = m_serialEdit->text();
    const QString address = m_ipEdit->text();
    if (serial.isEmpty() && address.isEmpty()) {
        Dialogs::warning(this, windowTitle(), tr("Введите заводской номер ККТ или IP адрес!"));
        return;
    }
    if (address.isEmpty()) {
        registerOffline(serial);
        return;
    }
    if (RegisterSession::isReachable(address))
        queryDevice(address);
    else
        offerOffline(serial, address);
}

void RegisterDeviceDialog::queryDevice(const QString &address)
{
    // Cancelling only closes the dialog: the query goes on, and its end is
    // still handled, once.
    ExchangeProgress::Options options;
    options.progressText = tr("Получение данных о ККТ...");
    m_session.setAddress(address);
    ExchangeProgress::run(this, m_session, options, this, [this] { onQueryFinished(); },
                          [this] { m_session.identify(); });
}

void RegisterDeviceDialog::onQueryFinished()
{
    if (m_session.result() != 0) {
        Dialogs::critical(this, windowTitle(),
                          tr("Ошибка подключения (%1) к ККТ по адресу %2")
                                  .arg(m_session.result())
                                  .arg(m_session.address()),
                          m_session.informativeText());
        return;
    }
    const RegisterIdentity identity = m_session.identity();
    const QString version = identity.version;
    if (!isSupportedVersion(identity.major, identity.minor, identity.build)) {
        Dialogs::warning(this, windowTitle(), tr("Версия ККТ %1 не поддерживается").arg(version));
        return;
    }
    const QString serial = m_serialEdit->text();
    const QString address = m_ipEdit->text();
    const QString deviceSerial = identity.serial;
    if (!serial.isEmpty() && serial != deviceSerial) {
        Dialogs::warning(this, windowTitle(),
                         tr("По адресу %1 отвечает ККТ с зав.номером %2").arg(address, deviceSerial));
        return;
    }
    {
        DeviceRegistry registry;
        registry.registerDevice(deviceSerial, version, QString(), address);
    }
    accept();
}

void RegisterDeviceDialog::offerOffline(const QString &serial, const QString &address)
{
    if (serial.isEmpty()) {
        Dialogs::warning(this, windowTitle(), tr("ККТ по адресу %1 не отвечает").arg(address));
        return;
    }
    if (Dialogs::question(this, windowTitle(),
                          tr("ККТ по адресу %1 не отвечает. Зарегистрировать оффлайн?").arg(address)))
        registerOffline(serial);
}

void RegisterDeviceDialog::registerOffline(const QString &serial)
{
    bool ok = false;
    const QString pattern = Dialogs::getItem(this, windowTitle(), tr("Укажите версию ФС ККТ"),
                                             supportedVersionPatterns(), 0, &ok);
    if (!ok)
        return;
    {
        DeviceRegistry registry;
        registry.registerDevice(serial, pattern, QString(), QString());
    }
    accept();
}

void RegisterDeviceDialog::browse()
{
    BrowseDeviceDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_serialEdit->setText(dialog.serial());
    m_ipEdit->setText(dialog.ip());
}
