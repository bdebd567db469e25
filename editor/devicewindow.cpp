#include "editor/devicewindow.h"

#include "editor/devicepages.h"
#include "goodswindow/goodswindow.h"
#include "link/registerdefaults.h"
#include "params/deptrecord.h"
#include "params/deviceparams.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "session/firmwarefamily.h"
#include "session/firmwareversion.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/devicewidget.h"
#include "widgets/dialogs.h"
#include "widgets/exchangeprogress.h"
#include "widgets/inputipdialog.h"
#include "widgets/issuelistmodel.h"
#include "widgets/validationcontext.h"

#include <QAction>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

DeviceWindow::DeviceWindow(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{
    // The window probes the address itself: a register that does not answer
    // has its own prompts here.
    m_session.setProbeFirst(false);
    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    m_tabWidget = new QTabWidget(central);
    m_tabWidget->setObjectName(QStringLiteral("tabWidget"));
    grid->addWidget(m_tabWidget, 0, 0);
    setCentralWidget(central);

    auto *status = new QStatusBar(this);
    m_addressLabel = new QLabel(QStringLiteral(" 000.000.000.000 "), status);
    m_addressLabel->setObjectName(QStringLiteral("addressLabel"));
    m_addressLabel->setMinimumSize(m_addressLabel->sizeHint());
    m_addressLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    status->addPermanentWidget(m_addressLabel, 0);
    status->addPermanentWidget(new QLabel(status), 1);
    status->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    setStatusBar(status);

    createMenus();
}

DeviceWindow::~DeviceWindow()
{
    // The tabs are pages of the tab widget; the set goes with the window.
    clearTabs();
}

void DeviceWindow::createMenus()
{
    auto addAction = [this](QMenu *menu, const QString &text, const char *name,
                            void (DeviceWindow::*slot)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    auto *bar = new QMenuBar(this);
    QMenu *device = bar->addMenu(tr("ККТ"));
    addAction(device, tr("Изменить адрес ККТ"), "actionChangeAddr", &DeviceWindow::onDeviceChangeAddr);
    addAction(device, tr("Загрузить из ККТ"), "actionImport", &DeviceWindow::onDeviceImport);
    addAction(device, tr("Выгрузить в ККТ"), "actionExport", &DeviceWindow::onDeviceExport);
    QMenu *profile = bar->addMenu(tr("Профиль"));
    addAction(profile, tr("Сохранить профиль"), "actionSaveProfile", &DeviceWindow::onProfileExport);
    QMenu *data = bar->addMenu(tr("Данные"));
    addAction(data, tr("Проверить"), "actionValidate", &DeviceWindow::onValidate);
    addAction(data, tr("Номенклатура"), "actionGoods", &DeviceWindow::onShowGoods);
    setMenuBar(bar);
}

void DeviceWindow::setDevice(const QString &serial, const QString &version, const QString &name,
                             const QString &address)
{
    setWindowTitle(tr("ККТ %1. Заводской номер %2").arg(name, serial));
    createTabs(version);
    m_session.setExpectedSerial(serial);
    loadProfile(serial);
    m_address = address;
    if (!address.isEmpty())
        m_addressLabel->setText(address);
}

void DeviceWindow::createTabs(const QString &version)
{
    m_version = version;
    const FirmwareFamily *family = FirmwareFamily::forVersion(version);
    if (!family)
        return;
    m_params = family->createParams();
    for (const FirmwareFamily::PageInfo &info : family->pages()) {
        DeviceWidget *tab = DevicePages::create(family->id(), info.page);
        tab->setObjectName(QLatin1String(info.objectName));
        m_tabWidget->addTab(tab, info.title);
        m_tabList.append(tab);
    }
}

void DeviceWindow::clearTabs()
{
    if (m_issueDock)
        m_issueDock->model()->clear();
    m_params.reset();
    for (int i = m_tabWidget->count() - 1; i >= 0; --i)
        m_tabWidget->removeTab(i);
    qDeleteAll(m_tabList);
    m_tabList.clear();
}

void DeviceWindow::loadProfile(const QString &serial)
{
    m_serial = serial;
    if (!m_params)
        return;
    QString storedVersion;
    DeviceProfile().load(serial, storedVersion, m_goodsCap, m_paramsImage, m_systemBlock);
    if (!m_paramsImage.isEmpty())
        m_hasData = true;
    m_params->load(serial, m_paramsImage, m_systemBlock);
    loadTabs();
}

void DeviceWindow::loadTabs()
{
    for (DeviceWidget *tab : qAsConst(m_tabList))
        tab->loadParams(m_params.get());
}

void DeviceWindow::storeTabs()
{
    for (DeviceWidget *tab : qAsConst(m_tabList))
        tab->storeParams(m_params.get());
    m_params->save(m_paramsImage, m_systemBlock);
}

bool DeviceWindow::hasParams(const QString &title)
{
    if (m_params)
        return true;
    Dialogs::warning(this, title,
                     tr("Версия ПО ККТ %1 не поддерживается: параметры этой ККТ не редактируются")
                             .arg(m_version));
    return false;
}

bool DeviceWindow::isIdle(const QString &title)
{
    // One exchange at a time: a write goes on after its progress dialog is
    // cancelled, and its end must not be taken for another exchange's.
    if (!m_session.isBusy())
        return true;
    Dialogs::warning(this, title, tr("Предыдущий обмен с ККТ ещё не завершён"));
    return false;
}

void DeviceWindow::setAddress(const QString &address)
{
    m_address = address;
    DeviceRegistry registry;
    registry.setAddress(m_serial, m_address);
    registry.save();
    emit updateRegistry();
    m_addressLabel->setText(m_address);
}

void DeviceWindow::onProfileExport()
{
    if (!hasParams(tr("Сохранить профиль")))
        return;
    storeTabs();
    DeviceProfile().save(m_serial, m_version, m_goodsCap, m_paramsImage, m_systemBlock);
    DeviceRegistry registry;
    registry.setVersion(m_serial, m_version);
    registry.save();
    emit updateRegistry();
}

void DeviceWindow::onDeviceImport()
{
    const QString title = tr("Загрузка из ККТ");
    if (!isIdle(title))
        return;
    if (!RegisterSession::isReachable(m_address)) {
        QString candidate = m_address;
        do {
            candidate = InputIpDialog::getIp(
                    this, title, tr("ККТ по адресу %1 не доступен. Введите адрес:").arg(candidate));
            if (candidate.isEmpty()) {
                Dialogs::warning(this, title, tr("ККТ по адресу %1 не доступен").arg(m_address));
                return;
            }
        } while (!RegisterSession::isReachable(candidate));
        setAddress(candidate);
    }
    m_deviceImage = DeviceImage();

    ExchangeProgress::Options options;
    options.label = tr("Подключение к ККТ...");
    options.progressText = tr("Загрузка из ККТ...");
    options.cancelStops = true;
    m_session.setAddress(m_address);
    ExchangeProgress::run(this, m_session, options, this, [this] { onDeviceImportFinished(); },
                          [this] { m_session.readParams(); });
}

void DeviceWindow::onDeviceImportFinished()
{
    const int result = m_session.result();
    if (result != 0) {
        Dialogs::warning(this, tr("Загрузка из ККТ"), tr("Ошибка загрузки. %1").arg(result),
                         m_session.informativeText());
        return;
    }
    const RegisterIdentity identity = m_session.identity();
    m_deviceImage.version = identity.version;
    m_deviceImage.goodsCap = identity.goodsCapacity;
    m_deviceImage.serial = identity.serial;
    m_deviceImage.params = m_session.params();
    m_deviceImage.system = m_session.system();
    applyDeviceImage();
}

void DeviceWindow::applyDeviceImage()
{
    qDebug() << "device image" << m_deviceImage.version << m_deviceImage.serial
             << m_deviceImage.params.size() << m_deviceImage.system.size() << m_deviceImage.goodsCap;
    const QString title = tr("Загрузка из ККТ");
    if (m_deviceImage.serial != m_serial) {
        Dialogs::critical(this, title,
                          tr("Заводской номер ККТ %1 не совпадает с номером из профиля %2")
                                  .arg(m_deviceImage.serial, m_serial));
        return;
    }
    // Rebuilding for a version without a family would leave the window with
    // no set at all and lose what it shows.
    if (!FirmwareVersion::isKnownFamily(m_deviceImage.version)) {
        Dialogs::warning(this, title,
                         tr("Версия ПО ККТ %1 не поддерживается").arg(m_deviceImage.version));
        return;
    }
    m_tabWidget->setUpdatesEnabled(false);
    clearTabs();
    createTabs(m_deviceImage.version);
    m_tabWidget->setUpdatesEnabled(true);
    m_tabWidget->repaint();

    m_paramsImage = m_deviceImage.params;
    m_systemBlock = m_deviceImage.system;
    m_goodsCap = m_deviceImage.goodsCap;
    m_params->load(m_serial, m_paramsImage, m_systemBlock);
    loadTabs();
    m_hasData = true;
}

void DeviceWindow::onDeviceExport()
{
    const QString title = tr("Выгрузка в ККТ");
    // A version without a family says so first; a family that takes no
    // parameters is refused before anything goes on the network.
    if (!hasParams(title))
        return;
    if (!FirmwareVersion::isWritable(m_version)) {
        Dialogs::warning(this, title, tr("Не поддерживается для данной версии"));
        return;
    }
    if (!isIdle(title))
        return;
    if (!RegisterSession::isReachable(m_address)) {
        Dialogs::warning(this, title, tr("ККТ по адресу %1 не доступен").arg(m_address));
        return;
    }
    if (!m_hasData
        && !Dialogs::question(this, title,
                              tr("Нет сохраненного профиля для ККТ. Вы уверены, что хотите выгрузить "
                                 "профиль настроек по умолчанию? (все данные в ККТ возможно будут "
                                 "потеряны)")))
        return;
    storeTabs();

    // The write goes on after a cancel: only the dialog closes, and the end
    // of the write is still reported.
    ExchangeProgress::Options options;
    options.label = tr("Подключение к ККТ...");
    options.progressText = tr("Выгрузка в ККТ...");
    m_session.setAddress(m_address);
    ExchangeProgress::run(this, m_session, options, this, [this] { onDeviceExportFinished(); },
                          [this] { m_session.writeParams(m_paramsImage, m_systemBlock, m_version); });
}

void DeviceWindow::onDeviceExportFinished()
{
    const QString title = tr("Выгрузка в ККТ");
    const int result = m_session.result();
    if (result != 0)
        Dialogs::warning(this, title, tr("Ошибка выгрузки. %1").arg(result), m_session.informativeText());
    else
        Dialogs::information(this, title, tr("Выгрузка завершена успешно"));
}

void DeviceWindow::onDeviceChangeAddr()
{
    const QString title = tr("Смена адреса ККТ");
    const QString label = tr("Введите адрес:");
    QString candidate = InputIpDialog::getIp(this, title, label);
    if (candidate.isEmpty())
        return;
    while (!RegisterSession::isReachable(candidate)) {
        if (Dialogs::question(this, title,
                              tr("ККТ по адресу %1 не доступен. Все равно сменить адрес?").arg(candidate)))
            break;
        candidate = InputIpDialog::getIp(this, title, label);
    }
    if (!candidate.isEmpty())
        setAddress(candidate);
}

void DeviceWindow::onValidate()
{
    if (!m_issueDock) {
        m_issueDock = new DeviceIssueWidget(m_tabWidget, this);
        addDockWidget(Qt::BottomDockWidgetArea, m_issueDock);
    }
    // A dock added to a window already on screen stays hidden until shown.
    m_issueDock->show();
    m_issueDock->model()->clear();
    ValidationContext context;
    for (DeviceWidget *tab : qAsConst(m_tabList))
        tab->prepareValidation(&context);
    for (DeviceWidget *tab : qAsConst(m_tabList))
        tab->validate(m_issueDock, &context);
}

void DeviceWindow::onShowGoods()
{
    const QString title = tr("Номенклатура");
    if (!hasParams(title))
        return;
    QStringList departmentNames;
    for (const DeptRecord &dept : m_params->departments())
        departmentNames << dept.name();
    auto *goods = new GoodsWindow(this);
    goods->setAttribute(Qt::WA_DeleteOnClose);
    goods->setWindowModality(Qt::WindowModal);
    goods->setDevice(m_serial, m_goodsCap, m_address, RegisterDefaults::TcpPort, departmentNames);
    goods->show();
}
