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
#include "session/profilefile.h"
#include "widgets/backuppicker.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/devicewidget.h"
#include "widgets/dialogs.h"
#include "widgets/editwatcher.h"
#include "widgets/exchangeprogress.h"
#include "widgets/inputipdialog.h"
#include "widgets/issuelistmodel.h"
#include "widgets/validationcontext.h"

#include <QAction>
#include <QCloseEvent>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>

namespace {

QString timeOfDay(const QTime &time)
{
    return time.toString(QStringLiteral("hh:mm:ss"));
}

QString hourAndMinute(const QTime &time)
{
    return time.toString(QStringLiteral("hh:mm"));
}

}

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

    m_editWatcher = new EditWatcher(this);
    connect(m_editWatcher, &EditWatcher::edited, this, &DeviceWindow::onEdited);

    createStatusBar();
    createMenus();
}

// The status bar draws its messages left of its first permanent widget, so
// the empty spacer stands on the left and gives way to a message; the address
// and where the values came from stay on the right.
void DeviceWindow::createStatusBar()
{
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    status->addWidget(new QLabel(status), 1);
    m_addressLabel = new QLabel(QStringLiteral(" 000.000.000.000 "), status);
    m_addressLabel->setObjectName(QStringLiteral("addressLabel"));
    m_addressLabel->setMinimumSize(m_addressLabel->sizeHint());
    m_addressLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    status->addPermanentWidget(m_addressLabel, 0);
    m_sourceLabel = new QLabel(status);
    m_sourceLabel->setObjectName(QStringLiteral("sourceLabel"));
    m_sourceLabel->setContentsMargins(6, 0, 6, 0);
    status->addPermanentWidget(m_sourceLabel, 0);
    status->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    setStatusBar(status);
    showSource();
}

DeviceWindow::~DeviceWindow()
{
    // The tabs are pages of the tab widget; the set goes with the window.
    clearTabs();
}

void DeviceWindow::createMenus()
{
    auto addAction = [this](QMenu *menu, const QString &text, const char *name,
                            void (DeviceWindow::*slot)(), const QKeySequence &key = QKeySequence()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
    };
    // Writing to the register has no key: it stays a deliberate choice.
    auto *bar = new QMenuBar(this);
    QMenu *device = bar->addMenu(tr("ККТ"));
    addAction(device, tr("Изменить адрес ККТ"), "actionChangeAddr", &DeviceWindow::onDeviceChangeAddr);
    addAction(device, tr("Загрузить из ККТ"), "actionImport", &DeviceWindow::onDeviceImport,
              QKeySequence(Qt::Key_F5));
    addAction(device, tr("Выгрузить в ККТ"), "actionExport", &DeviceWindow::onDeviceExport);
    addAction(device, tr("Восстановить из резервной копии…"), "actionRestore", &DeviceWindow::onDeviceRestore);
    addAction(device, tr("Сравнить с ККТ"), "actionCompare", &DeviceWindow::onDeviceCompare);
    QMenu *profile = bar->addMenu(tr("Профиль"));
    addAction(profile, tr("Сохранить профиль"), "actionSaveProfile", &DeviceWindow::onProfileExport,
              QKeySequence(Qt::CTRL | Qt::Key_S));
    QMenu *data = bar->addMenu(tr("Данные"));
    addAction(data, tr("Проверить"), "actionValidate", &DeviceWindow::onValidate, QKeySequence(Qt::Key_F7));
    addAction(data, tr("Номенклатура"), "actionGoods", &DeviceWindow::onShowGoods,
              QKeySequence(Qt::CTRL | Qt::Key_G));
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
    resize(openingSize());
}

// Wide enough for every page title: the tab bar would hide the last ones
// behind scroll arrows, and a page nobody sees is a page nobody edits. The
// arrows stay for a window made narrower by hand.
QSize DeviceWindow::openingSize()
{
    const int scrolled = m_tabWidget->sizeHint().width();
    m_tabWidget->setUsesScrollButtons(false);
    const int whole = m_tabWidget->sizeHint().width();
    m_tabWidget->setUsesScrollButtons(true);
    QSize size = sizeHint();
    size.rwidth() += qMax(0, whole - scrolled);
    if (const QScreen *screen = this->screen())
        size = size.boundedTo(screen->availableSize());
    return size;
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
        m_editWatcher->watch(tab);
    }
}

void DeviceWindow::clearTabs()
{
    // Both lists point into the tabs about to go.
    if (m_issueDock)
        m_issueDock->model()->clear();
    if (m_compareDock) {
        m_compareDock->model()->clear();
        m_compareDock->hide();
    }
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
    markClean(m_paramsImage.isEmpty() ? Source::Defaults : Source::Profile, m_editCount);
}

void DeviceWindow::loadTabs()
{
    // Filling the pages is not an edit.
    const EditWatcher::Pause pause(*m_editWatcher);
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

bool DeviceWindow::mayDiscardEdits(const QString &title)
{
    return !isEdited()
            || Dialogs::question(this, title, tr("Изменения не сохранены. Продолжить без сохранения?"));
}

void DeviceWindow::closeEvent(QCloseEvent *event)
{
    if (!mayDiscardEdits(windowTitle())) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void DeviceWindow::onEdited()
{
    const bool wasEdited = isEdited();
    ++m_editCount;
    if (!wasEdited)
        showSource();
}

void DeviceWindow::markClean(Source source, quint64 editCount)
{
    m_source = source;
    m_sourceTime = QTime::currentTime();
    m_cleanAt = editCount;
    showSource();
}

void DeviceWindow::showSource()
{
    QString text;
    switch (m_source) {
    case Source::Defaults:
        text = tr("по умолчанию");
        break;
    case Source::Profile:
        text = tr("профиль");
        break;
    case Source::Read:
        text = tr("из ККТ %1").arg(hourAndMinute(m_sourceTime));
        break;
    case Source::Written:
        text = tr("записано в ККТ %1").arg(hourAndMinute(m_sourceTime));
        break;
    }
    if (isEdited())
        text = tr("%1, изменено").arg(text);
    m_sourceLabel->setText(text);
}

// Until the next message or a menu's hint replaces it.
void DeviceWindow::showStatus(const QString &text)
{
    statusBar()->showMessage(text);
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
    markClean(Source::Profile, m_editCount);
    showStatus(tr("Профиль сохранён в %1").arg(timeOfDay(m_sourceTime)));
}

void DeviceWindow::onDeviceImport()
{
    const QString title = tr("Загрузка из ККТ");
    if (!isIdle(title) || !mayDiscardEdits(title))
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
    // Its list spoke of the values just replaced; empty, it would claim
    // that the new ones have no problems.
    if (m_issueDock)
        m_issueDock->hide();
    createTabs(m_deviceImage.version);
    m_tabWidget->setUpdatesEnabled(true);
    m_tabWidget->repaint();

    m_paramsImage = m_deviceImage.params;
    m_systemBlock = m_deviceImage.system;
    m_goodsCap = m_deviceImage.goodsCap;
    m_params->load(m_serial, m_paramsImage, m_systemBlock);
    loadTabs();
    m_hasData = true;
    markClean(Source::Read, m_editCount);
    showStatus(tr("Прочитано из ККТ в %1").arg(timeOfDay(m_sourceTime)));
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
    if (!ExchangeProgress::isReachable(this, title, m_address))
        return;
    if (!m_hasData
        && !Dialogs::question(this, title,
                              tr("Нет сохраненного профиля для ККТ. Вы уверены, что хотите выгрузить "
                                 "профиль настроек по умолчанию? (все данные в ККТ возможно будут "
                                 "потеряны)")))
        return;
    storeTabs();
    m_writtenAt = m_editCount;

    // The write goes on after a cancel: only the dialog closes, and the end
    // of the write is still reported.
    ExchangeProgress::Options options;
    options.progressText = tr("Выгрузка в ККТ...");
    m_session.setAddress(m_address);
    ExchangeProgress::run(this, m_session, options, this, [this] { onDeviceExportFinished(); },
                          [this] { m_session.writeParams(m_paramsImage, m_systemBlock, m_version); });
}

void DeviceWindow::onDeviceExportFinished()
{
    const QString title = tr("Выгрузка в ККТ");
    const int result = m_session.result();
    if (result != 0) {
        Dialogs::warning(this, title, tr("Ошибка выгрузки. %1").arg(result), m_session.informativeText());
        if (m_session.partlyWritten())
            offerRestore(title, m_session.backupFile());
        return;
    }
    markClean(Source::Written, m_writtenAt);
    showStatus(tr("Записано в ККТ в %1").arg(timeOfDay(m_sourceTime)));
    Dialogs::information(this, title, tr("Выгрузка завершена успешно"));
}

void DeviceWindow::offerRestore(const QString &title, const QString &file)
{
    if (Dialogs::question(this, title, tr("Восстановить данные ККТ из резервной копии?")))
        restoreBackup(file);
}

void DeviceWindow::onDeviceRestore()
{
    const QString title = tr("Восстановление из резервной копии");
    if (!hasParams(title))
        return;
    if (!FirmwareVersion::isWritable(m_version)) {
        Dialogs::warning(this, title, tr("Не поддерживается для данной версии"));
        return;
    }
    if (!isIdle(title) || !mayDiscardEdits(title))
        return;
    const QString file = BackupPicker::choose(this, title, m_serial, ProfileFile::paramsKind());
    if (!file.isEmpty())
        restoreBackup(file);
}

void DeviceWindow::restoreBackup(const QString &file)
{
    m_session.setAddress(m_address);
    BackupPicker::restore(this, m_session, file, [this, file](const ProfileFile &) { onRestoreFinished(file); });
}

void DeviceWindow::onRestoreFinished(const QString &file)
{
    const QString title = tr("Восстановление из резервной копии");
    const int result = m_session.result();
    if (result != 0) {
        Dialogs::warning(this, title, tr("Ошибка выгрузки. %1").arg(result), m_session.informativeText());
        // Once it has begun, the same backup is what to write again.
        if (m_session.partlyWritten())
            offerRestore(title, file);
        return;
    }
    // What the register now holds is the backup: the window shows it as read.
    ProfileFile backup;
    QString error;
    backup.read(file, &error);
    const RegisterIdentity identity = m_session.identity();
    m_deviceImage = {identity.version, identity.serial, identity.goodsCapacity, backup.params, backup.system};
    applyDeviceImage();
    showStatus(tr("Восстановлено из резервной копии в %1").arg(timeOfDay(m_sourceTime)));
    Dialogs::information(this, title, tr("Резервная копия записана в ККТ"));
}

void DeviceWindow::onDeviceCompare()
{
    const QString title = tr("Сравнение с ККТ");
    if (!hasParams(title) || !isIdle(title))
        return;
    if (!ExchangeProgress::isReachable(this, title, m_address))
        return;
    ExchangeProgress::Options options;
    options.progressText = tr("Загрузка из ККТ...");
    options.cancelStops = true;
    m_session.setAddress(m_address);
    ExchangeProgress::run(this, m_session, options, this, [this] { onCompareFinished(); },
                          [this] { m_session.readParams(); });
}

void DeviceWindow::onCompareFinished()
{
    const QString title = tr("Сравнение с ККТ");
    const int result = m_session.result();
    if (result != 0) {
        Dialogs::warning(this, title, tr("Ошибка загрузки. %1").arg(result), m_session.informativeText());
        return;
    }
    const RegisterIdentity identity = m_session.identity();
    if (identity.serial != m_serial) {
        Dialogs::critical(this, title,
                          tr("Заводской номер ККТ %1 не совпадает с номером из профиля %2").arg(identity.serial, m_serial));
        return;
    }
    QVector<ParamsDifference> differences;
    QString error;
    if (!ParamsDiff::compare(shownBlocks(), {m_serial, identity.version, m_session.params(), m_session.system()},
                             &differences, &error)) {
        Dialogs::warning(this, title, error);
        return;
    }
    showDifferences(differences);
    showStatus(differences.isEmpty() ? tr("Сравнение с ККТ: различий нет")
                                     : tr("Сравнение с ККТ: различий — %1").arg(differences.size()));
}

ParamsDiff::Blocks DeviceWindow::shownBlocks() const
{
    ParamsDiff::Blocks blocks{m_serial, m_version, m_paramsImage, m_systemBlock};
    const std::unique_ptr<DeviceParams> set = ParamsDiff::load(blocks);
    for (DeviceWidget *tab : m_tabList)
        tab->storeParams(set.get());
    set->save(blocks.params, blocks.system);
    return blocks;
}

void DeviceWindow::addBottomDock(DeviceIssueWidget *dock)
{
    // Problems and differences share one place under the pages, as tabs,
    // rather than halving each other's width.
    DeviceIssueWidget *other = dock == m_issueDock ? m_compareDock : m_issueDock;
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    if (other)
        tabifyDockWidget(other, dock);
}

void DeviceWindow::showDifferences(const QVector<ParamsDifference> &differences)
{
    if (!m_compareDock) {
        m_compareDock = new DeviceIssueWidget(m_tabWidget, this);
        m_compareDock->setObjectName(QStringLiteral("compareDock"));
        m_compareDock->setWindowTitle(tr("Сравнение с ККТ: окно → ККТ"));
        m_compareDock->setPlaceholderText(tr("Различий нет"));
        addBottomDock(m_compareDock);
    }
    m_compareDock->show();
    m_compareDock->raise();
    m_compareDock->model()->clear();
    const QVector<FirmwareFamily::PageInfo> pages = FirmwareFamily::forVersion(m_version)->pages();
    for (const ParamsDifference &d : differences) {
        DeviceWidget *tab = nullptr;
        for (int i = 0; d.shown && i < pages.size() && i < m_tabList.size(); ++i) {
            if (pages.at(i).page == d.field.page)
                tab = m_tabList.at(i);
        }
        QWidget *control = tab ? tab->findChild<QWidget *>(d.field.control) : nullptr;
        m_compareDock->addIssue(tab, control, d.text());
    }
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
        addBottomDock(m_issueDock);
    }
    // A dock added to a window already on screen stays hidden until shown.
    m_issueDock->show();
    m_issueDock->raise();
    m_issueDock->model()->clear();
    ValidationContext context;
    for (DeviceWidget *tab : qAsConst(m_tabList))
        tab->prepareValidation(&context);
    for (DeviceWidget *tab : qAsConst(m_tabList))
        tab->validate(m_issueDock, &context);
    const int problems = m_issueDock->model()->rowCount();
    showStatus(problems == 0 ? tr("Проверка: проблем не найдено")
                             : tr("Проверка: проблем — %1").arg(problems));
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
