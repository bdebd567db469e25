#include "editor/devicewindow.h"

#include "editor/configtab52.h"
#include "editor/configtab53.h"
#include "editor/depttab.h"
#include "editor/designtab.h"
#include "editor/ofdtab52.h"
#include "editor/ofdtab53.h"
#include "editor/orgtab52.h"
#include "editor/orgtab53.h"
#include "editor/positiontab.h"
#include "editor/registrationtab52.h"
#include "editor/registrationtab53.h"
#include "editor/usertab52.h"
#include "editor/usertab53.h"
#include "goodswindow/goodswindow.h"
#include "link/reachabilityprobe.h"
#include "link/taggedblock.h"
#include "params/deptrecord.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "session/firmwareversion.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/deviceprogressdialog.h"
#include "widgets/devicewidget.h"
#include "widgets/dialogs.h"
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

namespace {

constexpr quint16 kRegisterPort = 8080;
constexpr int kProbeTimeout = 1000;

bool isReachable(const QString &address)
{
    return ReachabilityProbe::create()->ping(address, kProbeTimeout) == 0;
}

constexpr Qt::WindowFlags kProgressFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;

}

DeviceWindow::DeviceWindow(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{
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
    m_controller.setExpectedSerial(serial);
    loadProfile(serial);
    m_address = address;
    if (!address.isEmpty())
        m_addressLabel->setText(address);
}

void DeviceWindow::createTabs(const QString &version)
{
    m_version = version;
    switch (FirmwareVersion::minor(version)) {
    case 52:
        m_params = std::make_unique<DeviceParams52>();
        createTabs52();
        break;
    case 53:
        m_params = std::make_unique<DeviceParams53>();
        createTabs53();
        break;
    default:
        break;
    }
}

void DeviceWindow::addDeviceTab(DeviceWidget *tab, const char *objectName, const QString &title)
{
    tab->setObjectName(QLatin1String(objectName));
    m_tabWidget->addTab(tab, title);
    m_tabList.append(tab);
}

void DeviceWindow::createTabs52()
{
    addDeviceTab(new ConfigTab52, "configTab", tr("Конфигурация"));
    addDeviceTab(new PositionTab, "positionTab", tr("Должности"));
    addDeviceTab(new UserTab52, "userTab", tr("Пользователи"));
    addDeviceTab(new DeptTab, "deptTab", tr("Отделы"));
    addDeviceTab(new OrgTab52, "orgTab", tr("Реквизиты организации"));
    addDeviceTab(new DesignTab, "designTab", tr("Дизайн чека"));
    addDeviceTab(new OfdTab52, "ofdTab", tr("Настройки ОФД"));
    addDeviceTab(new RegistrationTab52, "registrationTab", tr("Регистрационные данные"));
}

void DeviceWindow::createTabs53()
{
    addDeviceTab(new ConfigTab53, "configTab", tr("Конфигурация"));
    addDeviceTab(new PositionTab, "positionTab", tr("Должности"));
    addDeviceTab(new UserTab53, "userTab", tr("Пользователи"));
    addDeviceTab(new DeptTab, "deptTab", tr("Отделы"));
    addDeviceTab(new OrgTab53, "orgTab", tr("Реквизиты организации"));
    addDeviceTab(new DesignTab, "designTab", tr("Дизайн чека"));
    addDeviceTab(new OfdTab53, "ofdTab", tr("Настройки ОФД"));
    addDeviceTab(new RegistrationTab53, "registrationTab", tr("Регистрационные данные"));
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
    if (!m_exchangeRunning)
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
    if (!isReachable(m_address)) {
        QString candidate = m_address;
        do {
            candidate = InputIpDialog::getIp(
                    this, title, tr("ККТ по адресу %1 не доступен. Введите адрес:").arg(candidate));
            if (candidate.isEmpty()) {
                Dialogs::warning(this, title, tr("ККТ по адресу %1 не доступен").arg(m_address));
                return;
            }
        } while (!isReachable(candidate));
        setAddress(candidate);
    }
    m_deviceImage = DeviceImage();

    DeviceProgressDialog progress(this, kProgressFlags);
    progress.setObjectName(QStringLiteral("progressDialog"));
    progress.setLabelText(tr("Подключение к ККТ..."));
    progress.setProgressText(tr("Загрузка из ККТ..."));
    progress.reset();

    m_controller.disconnect();
    connect(&progress, &DeviceProgressDialog::canceled, &m_controller, &DeviceController::stop);
    connect(&m_controller, &DeviceController::connected, &progress, &DeviceProgressDialog::connected);
    connect(&m_controller, &DeviceController::finished, this, &DeviceWindow::onDeviceImportFinished);
    connect(&m_controller, &DeviceController::finished, &progress, &QWidget::close);
    connect(&m_controller, &DeviceController::disconnected, &progress, &QWidget::close);

    m_exchangeRunning = true;
    m_controller.readParams(m_address, kRegisterPort);
    progress.exec();
}

void DeviceWindow::onDeviceImportFinished()
{
    m_exchangeRunning = false;
    const int result = m_controller.result();
    if (result != 0) {
        Dialogs::warning(this, tr("Загрузка из ККТ"), tr("Ошибка загрузки. %1").arg(result));
        return;
    }
    m_deviceImage.version = FirmwareVersion::text(m_controller.versionMajor(), m_controller.versionMinor(),
                                                  m_controller.versionBuild());
    m_deviceImage.goodsCap = m_controller.goodsCapacity();
    m_deviceImage.serial = m_controller.serialNumber();
    TaggedBlock::takeParams(m_controller.data(), &m_deviceImage.params, &m_deviceImage.system);
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
    if (!FirmwareVersion::isWritable(m_version)) {
        Dialogs::warning(this, title, tr("Не поддерживается для данной версии"));
        return;
    }
    if (!hasParams(title) || !isIdle(title))
        return;
    if (!isReachable(m_address)) {
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

    QByteArray block;
    TaggedBlock::appendParams(block, m_paramsImage, m_systemBlock);

    DeviceProgressDialog progress(this, kProgressFlags);
    progress.setObjectName(QStringLiteral("progressDialog"));
    progress.setLabelText(tr("Подключение к ККТ..."));
    progress.setProgressText(tr("Выгрузка в ККТ..."));
    progress.reset();

    m_controller.disconnect();
    connect(&m_controller, &DeviceController::connected, &progress, &DeviceProgressDialog::connected);
    connect(&m_controller, &DeviceController::finished, this, &DeviceWindow::onDeviceExportFinished);
    connect(&m_controller, &DeviceController::finished, &progress, &QWidget::close);
    connect(&m_controller, &DeviceController::disconnected, &progress, &QWidget::close);

    m_exchangeRunning = true;
    m_controller.writeParams(m_address, kRegisterPort, block);
    progress.exec();
}

void DeviceWindow::onDeviceExportFinished()
{
    m_exchangeRunning = false;
    const QString title = tr("Выгрузка в ККТ");
    const int result = m_controller.result();
    if (result != 0)
        Dialogs::warning(this, title, tr("Ошибка выгрузки. %1").arg(result));
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
    while (!isReachable(candidate)) {
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
    goods->setDevice(m_serial, m_goodsCap, m_address, kRegisterPort, departmentNames);
    goods->show();
}
