#include "app/mainwindow.h"
#include "editor/configtab52.h"
#include "editor/configtab53.h"
#include "editor/devicewindow.h"
#include "goodswindow/goodswindow.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "tests/editor/samplearea.h"
#include "tests/support/core/simulators.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPointer>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <memory>
#include <optional>

using namespace WindowDriver;
using Simulators::writesSeen;

namespace {

const QString kSerial = QStringLiteral("2530000001");
const quint16 kPort = Simulators::WindowPort;

void registerDevice(const QString &version, const QString &addr, const QString &serial = kSerial)
{
    DeviceRegistry registry;
    registry.registerDevice(serial, version, QStringLiteral("Касса 1"), addr);
    registry.save();
}

DeviceRecord registryRecord(const QString &serial = kSerial)
{
    const DeviceRegistry registry;
    for (const DeviceRecord &d : registry.devices()) {
        if (d.serial == serial)
            return d;
    }
    return {};
}

// A params area as a register holds it: arbitrary bytes between and inside the
// tables, sane configuration values, unknown flag bits set, the serial in place.
QByteArray registerParamsArea(const QString &serial = kSerial)
{
    return SampleArea::registerParamsArea(serial);
}

}

class TestDeviceWindow : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowSandbox> m_sandbox;
    ScriptedDialogs *m_dialogs = nullptr;
    FixedProbe::Scope *m_probe = nullptr;
    std::unique_ptr<RegisterSimulator> m_sim;

    // A 2.53 register listening on its own loopback address, port 8080.
    void startRegister(const char *address, const QByteArray &serial = kSerial.toLatin1())
    {
        m_sim = std::make_unique<RegisterSimulator>(SimConfig::family253(serial));
        QVERIFY2(m_sim->start(QHostAddress(QLatin1String(address)), kPort),
                 qPrintable(m_sim->errorString()));
    }

    std::unique_ptr<DeviceWindow> openWindow(const QString &serial = kSerial)
    {
        const DeviceRecord r = registryRecord(serial);
        auto window = std::make_unique<DeviceWindow>();
        window->setDevice(r.serial, r.version, r.name, r.addr);
        return window;
    }

    static QString text(DeviceWindow *w, const char *name)
    {
        auto *edit = child<QLineEdit>(w, name);
        return edit ? edit->text() : QStringLiteral("<missing>");
    }

private slots:
    void init()
    {
        m_dialogs = &m_sandbox.emplace().dialogs;
        m_probe = &m_sandbox->probe;
    }

    void cleanup()
    {
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        m_sim.reset();
        m_sandbox.reset();
    }

    void offlineRegisteredOpensWithDefaults()
    {
        registerDevice(QStringLiteral("2.53.*"), QString());
        auto w = openWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("ККТ Касса 1. Заводской номер 2530000001"));
        QCOMPARE(child<QLabel>(w.get(), "addressLabel")->text(), QStringLiteral(" 000.000.000.000 "));
        auto *tabs = child<QTabWidget>(w.get(), "tabWidget");
        QStringList pages;
        for (int i = 0; i < tabs->count(); ++i)
            pages << tabs->widget(i)->metaObject()->className() + QLatin1Char(':') + tabs->tabText(i);
        QCOMPARE(pages, (QStringList{QStringLiteral("ConfigTab53:Конфигурация"),
                                     QStringLiteral("PositionTab:Должности"),
                                     QStringLiteral("UserTab53:Пользователи"),
                                     QStringLiteral("DeptTab:Отделы"),
                                     QStringLiteral("OrgTab53:Реквизиты организации"),
                                     QStringLiteral("DesignTab:Дизайн чека"),
                                     QStringLiteral("OfdTab53:Настройки ОФД"),
                                     QStringLiteral("RegistrationTab53:Регистрационные данные")}));
        QCOMPARE(w->tabs().size(), 8);
        QCOMPARE(w->tabs().at(2), tabs->widget(2));
        QVERIFY(qobject_cast<DeviceParams53 *>(w->params()));
        QCOMPARE(text(w.get(), "maxPriceEdit"), QStringLiteral("50000.00"));
        QCOMPARE(text(w.get(), "maxQuantityEdit"), QStringLiteral("1000.000"));
        QCOMPARE(child<QComboBox>(w.get(), "defaultCashierCombo")->currentText(),
                 QStringLiteral("Админ. 1"));
        QVERIFY(!w->hasData());

        QStringList menus;
        for (QAction *menu : w->menuBar()->actions()) {
            QStringList entries;
            for (QAction *a : menu->menu()->actions())
                entries << a->text();
            menus << menu->text() + QLatin1Char(':') + entries.join(QLatin1Char('|'));
        }
        QCOMPARE(menus, QStringList({QStringLiteral("ККТ:Изменить адрес ККТ|Загрузить из ККТ|Выгрузить в ККТ|"
                                                    "Восстановить из резервной копии…|Сравнить с ККТ"),
                                     QStringLiteral("Профиль:Сохранить профиль"),
                                     QStringLiteral("Данные:Проверить|Номенклатура")}));
    }

    void storedAddressShownAndTwoFiftyTwoGetsItsTabs()
    {
        registerDevice(QStringLiteral("2.52.40"), QStringLiteral("127.0.0.30"));
        auto w = openWindow();
        QCOMPARE(child<QLabel>(w.get(), "addressLabel")->text(), QStringLiteral("127.0.0.30"));
        QVERIFY(qobject_cast<DeviceParams52 *>(w->params()));
        QVERIFY(qobject_cast<ConfigTab52 *>(child<QTabWidget>(w.get(), "tabWidget")->widget(0)));
    }

    void mainWindowOpensItOnDoubleClick()
    {
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.31"));
        MainWindow main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *table = child<QTableView>(&main, "deviceTable");
        const QModelIndex index = table->model()->index(0, 0);
        QVERIFY(index.isValid());
        doubleClickCell(table, index);
        QPointer<DeviceWindow> w = main.findChild<DeviceWindow *>();
        QVERIFY(w);
        QCOMPARE(w->windowModality(), Qt::WindowModal);
        QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(w->isVisible());
        QCOMPARE(w->serial(), kSerial);
        QCOMPARE(w->address(), QStringLiteral("127.0.0.31"));

        // An address change in the window reaches the list at once.
        m_dialogs->answerAddress(QStringLiteral("127.0.0.32"));
        trigger(w, "actionChangeAddr");
        const QModelIndexList hits = table->model()->match(
                table->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("127.0.0.32"), 1,
                Qt::MatchExactly | Qt::MatchWrap);
        bool listed = !hits.isEmpty();
        for (int col = 0; !listed && col < table->model()->columnCount(); ++col)
            listed = table->model()->index(0, col).data().toString() == QStringLiteral("127.0.0.32");
        QVERIFY(listed);

        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());
    }

    void importSaveAndReopen()
    {
        startRegister("127.0.0.21");
        const QByteArray area = registerParamsArea();
        QVERIFY(m_sim->setAreaContent(2, area));
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.21"));
        auto w = openWindow();
        QSignalSpy registryChanged(w.get(), &DeviceWindow::updateRegistry);

        trigger(w.get(), "actionImport");
        QVERIFY2(m_dialogs->shown().isEmpty(), qPrintable(m_dialogs->last().text));
        QVERIFY(w->hasData());
        QCOMPARE(w->version(), QStringLiteral("2.53.10"));
        QCOMPARE(w->goodsCap(), 2000);
        QCOMPARE(w->paramsImage(), area);
        QCOMPARE(w->systemBlock(), m_sim->areaContent(1));
        QCOMPARE(text(w.get(), "maxPriceEdit"), QStringLiteral("123.45"));
        QCOMPARE(text(w.get(), "maxDepositEdit"), QStringLiteral("9999.00"));
        QCOMPARE(text(w.get(), "maxQuantityEdit"), QStringLiteral("12.345"));
        QCOMPARE(text(w.get(), "weightPrefixEdit"), QStringLiteral("25"));
        QCOMPARE(child<QSpinBox>(w.get(), "deptCountSpin")->value(), 5);
        QCOMPARE(child<QComboBox>(w.get(), "defaultDeptCombo")->currentIndex(), 2);
        QCOMPARE(child<QComboBox>(w.get(), "mainModeCombo")->currentIndex(), 1);
        QVERIFY(child<QCheckBox>(w.get(), "purchaseCheck")->isChecked());
        // Reading touches neither the registry nor the profile.
        QCOMPARE(registryRecord().version, QStringLiteral("2.53.*"));
        QCOMPARE(registryChanged.count(), 0);

        retype(w.get(), "maxPriceEdit", QStringLiteral("0.29"));
        trigger(w.get(), "actionSaveProfile");
        QVERIFY(m_dialogs->shown().isEmpty());
        QCOMPARE(registryChanged.count(), 1);
        QCOMPARE(registryRecord().version, QStringLiteral("2.53.10"));
        const QByteArray saved = w->paramsImage();
        w.reset();

        auto again = openWindow();
        QVERIFY(again->hasData());
        QCOMPARE(again->version(), QStringLiteral("2.53.10"));
        QCOMPARE(again->goodsCap(), 2000);
        QCOMPARE(again->paramsImage(), saved);
        QCOMPARE(text(again.get(), "maxPriceEdit"), QStringLiteral("0.29"));
        QCOMPARE(text(again.get(), "maxQuantityEdit"), QStringLiteral("12.345"));
        QCOMPARE(child<QSpinBox>(again.get(), "deptCountSpin")->value(), 5);
    }

    void exportWritesTheImageAndKeepsUneditedBytes()
    {
        startRegister("127.0.0.22");
        const QByteArray area = registerParamsArea();
        QVERIFY(m_sim->setAreaContent(2, area));
        const QByteArray system = m_sim->areaContent(1);
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.22"));
        auto w = openWindow();
        trigger(w.get(), "actionImport");
        QVERIFY(w->hasData());

        retype(w.get(), "maxPriceEdit", QStringLiteral("4.35"));
        child<QCheckBox>(w.get(), "smallFontCheck")->setChecked(true);
        m_sim->clearRequests();
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Information);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Выгрузка в ККТ"));
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Выгрузка завершена успешно"));
        QVERIFY(writesSeen(*m_sim) > 0);

        QCOMPARE(m_sim->areaContent(2).toHex(), w->paramsImage().toHex());
        QByteArray expected = area;
        expected.replace(44, 8, SampleArea::littleEndian(43500, 8));
        expected[37] = char(quint8(expected.at(37)) | 0x01);
        QCOMPARE(m_sim->areaContent(2).toHex(), expected.toHex());
        QCOMPARE(m_sim->areaContent(1), system);
    }

    void rebuiltForTheReportedVersion()
    {
        startRegister("127.0.0.23");
        QVERIFY(m_sim->setAreaContent(2, registerParamsArea()));
        registerDevice(QStringLiteral("2.52.40"), QStringLiteral("127.0.0.23"));
        auto w = openWindow();
        QVERIFY(qobject_cast<DeviceParams52 *>(w->params()));
        trigger(w.get(), "actionImport");
        QVERIFY(m_dialogs->shown().isEmpty());
        QVERIFY(qobject_cast<DeviceParams53 *>(w->params()));
        auto *tabs = child<QTabWidget>(w.get(), "tabWidget");
        QCOMPARE(tabs->count(), 8);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Конфигурация"));
        QCOMPARE(text(w.get(), "maxPriceEdit"), QStringLiteral("123.45"));
        QCOMPARE(w->version(), QStringLiteral("2.53.10"));
        QCOMPARE(registryRecord().version, QStringLiteral("2.52.40"));
        trigger(w.get(), "actionSaveProfile");
        QCOMPARE(registryRecord().version, QStringLiteral("2.53.10"));
    }

    void cancelledImportChangesNothing()
    {
        startRegister("127.0.0.24");
        QVERIFY(m_sim->setAreaContent(2, registerParamsArea()));
        m_sim->setReplyDelay(150);
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.24"));
        auto w = openWindow();
        cancelProgressAt(QStringLiteral("Загрузка из ККТ..."));
        trigger(w.get(), "actionImport");
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->shown().size(), 1, 10000);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Загрузка из ККТ"));
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Ошибка загрузки. -13"));
        QVERIFY(!w->hasData());
        QVERIFY(w->paramsImage().isEmpty());
        QCOMPARE(text(w.get(), "maxPriceEdit"), QStringLiteral("50000.00"));
        QCOMPARE(w->version(), QStringLiteral("2.53.*"));
    }

    void otherSerialIsRefused()
    {
        // The register's serial is a prefix of the window's: the link lets it
        // through, the window must not.
        startRegister("127.0.0.25", QByteArrayLiteral("253000000"));
        registerDevice(QStringLiteral("2.52.40"), QStringLiteral("127.0.0.25"));
        auto w = openWindow();
        trigger(w.get(), "actionImport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Critical);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Загрузка из ККТ"));
        QCOMPARE(m_dialogs->last().text,
                 QStringLiteral("Заводской номер ККТ 253000000 не совпадает с номером из профиля 2530000001"));
        QVERIFY(qobject_cast<DeviceParams52 *>(w->params()));
        QVERIFY(!w->hasData());
    }

    void linkSerialMismatchReported()
    {
        startRegister("127.0.0.33", QByteArrayLiteral("2530000009"));
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.33"));
        auto w = openWindow();
        trigger(w.get(), "actionImport");
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Ошибка загрузки. -15"));
        QVERIFY(!w->hasData());
    }

    void unreachableStoredAddressAsksForAnother()
    {
        startRegister("127.0.0.26");
        QVERIFY(m_sim->setAreaContent(2, registerParamsArea()));
        m_probe->setUnreachable(QStringLiteral("127.0.0.99"));
        m_probe->setUnreachable(QStringLiteral("127.0.0.98"));
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.99"));
        auto w = openWindow();
        QSignalSpy registryChanged(w.get(), &DeviceWindow::updateRegistry);

        QString labelAtRead, registryAtRead;
        connect(m_sim.get(), &RegisterSimulator::connectionAccepted, this, [&] {
            if (labelAtRead.isEmpty()) {
                labelAtRead = child<QLabel>(w.get(), "addressLabel")->text();
                registryAtRead = registryRecord().addr;
            }
        });
        m_dialogs->answerAddress(QStringLiteral("127.0.0.98"));
        m_dialogs->answerAddress(QStringLiteral("127.0.0.26"));
        trigger(w.get(), "actionImport");

        QCOMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(m_dialogs->shown().at(0).kind, DialogRequest::Address);
        QCOMPARE(m_dialogs->shown().at(0).title, QStringLiteral("Загрузка из ККТ"));
        QCOMPARE(m_dialogs->shown().at(0).text,
                 QStringLiteral("ККТ по адресу 127.0.0.99 не доступен. Введите адрес:"));
        QCOMPARE(m_dialogs->shown().at(1).text,
                 QStringLiteral("ККТ по адресу 127.0.0.98 не доступен. Введите адрес:"));
        QCOMPARE(m_probe->asked(), QStringList({QStringLiteral("127.0.0.99"), QStringLiteral("127.0.0.98"),
                                                QStringLiteral("127.0.0.26")}));
        QCOMPARE(labelAtRead, QStringLiteral("127.0.0.26"));
        QCOMPARE(registryAtRead, QStringLiteral("127.0.0.26"));
        QCOMPARE(registryChanged.count(), 1);
        QCOMPARE(w->address(), QStringLiteral("127.0.0.26"));
        QVERIFY(w->hasData());
    }

    void cancelledAddressPromptReadsNothing()
    {
        startRegister("127.0.0.27");
        m_probe->setUnreachable(QStringLiteral("127.0.0.99"));
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.99"));
        auto w = openWindow();
        m_dialogs->answerCancel();
        trigger(w.get(), "actionImport");
        QCOMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().text, QStringLiteral("ККТ по адресу 127.0.0.99 не доступен"));
        QCOMPARE(m_sim->connectionCount(), 0);
        QCOMPARE(registryRecord().addr, QStringLiteral("127.0.0.99"));
    }

    void exportWithoutDataAsksFirst()
    {
        startRegister("127.0.0.28");
        const QByteArray area = m_sim->areaContent(2);
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.28"));
        auto w = openWindow();
        m_dialogs->answerNo();
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Question);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Выгрузка в ККТ"));
        QCOMPARE(m_dialogs->last().text,
                 QStringLiteral("Нет сохраненного профиля для ККТ. Вы уверены, что хотите выгрузить "
                                "профиль настроек по умолчанию? (все данные в ККТ возможно будут потеряны)"));
        QCOMPARE(m_sim->connectionCount(), 0);
        QCOMPARE(m_sim->areaContent(2), area);

        // Yes writes the defaults, the serial at its place.
        m_dialogs->answerYes();
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Выгрузка завершена успешно"));
        const QByteArray written = m_sim->areaContent(2);
        QCOMPARE(written.left(w->paramsImage().size()), w->paramsImage());
        QCOMPARE(written.mid(256, 10), kSerial.toLatin1());
    }

    void exportUnreachableWarns()
    {
        m_probe->setUnreachable(QStringLiteral("127.0.0.99"));
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.99"));
        auto w = openWindow();
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().text, QStringLiteral("ККТ по адресу 127.0.0.99 не доступен"));
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Выгрузка в ККТ"));
    }

    void exportFailureShowsTheCode()
    {
        startRegister("127.0.0.34");
        m_sim->setNakWrites(true);
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.34"));
        auto w = openWindow();
        m_dialogs->answerYes();
        m_dialogs->answerNo();
        trigger(w.get(), "actionExport");
        // Refused after its backup: the register may hold part of it.
        const DialogRequest failure = m_dialogs->shown().value(m_dialogs->shown().size() - 2);
        QCOMPARE(failure.kind, DialogRequest::Warning);
        QCOMPARE(failure.text, QStringLiteral("Ошибка выгрузки. -9"));
        QVERIFY2(failure.informative.startsWith(QStringLiteral("ККТ не подтвердила запись.\nАдрес ККТ: 127.0.0.34.\n"
                                                               "Данные в ККТ могли быть записаны частично.")),
                 qPrintable(failure.informative));
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Восстановить данные ККТ из резервной копии?"));
    }

    // The register's serial number is the start of the window's: the link
    // would let the write through, serial field and all.
    void exportToAnotherRegisterWritesNothing()
    {
        startRegister("127.0.17.20", QByteArrayLiteral("253000000"));
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.17.20"));
        auto w = openWindow();
        m_dialogs->answerYes();
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Ошибка выгрузки. -15"));
        QCOMPARE(m_dialogs->last().informative,
                 QStringLiteral("Заводской номер ККТ 253000000 не совпадает с заданным 2530000001.\n"
                                "Адрес ККТ: 127.0.17.20."));
        QCOMPARE(Simulators::writesSeen(*m_sim), 0);
    }

    void twoFiftyTwoExportRefusedWithoutTraffic()
    {
        startRegister("127.0.0.29");
        registerDevice(QStringLiteral("2.52.40"), QStringLiteral("127.0.0.29"));
        auto w = openWindow();
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Выгрузка в ККТ"));
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Не поддерживается для данной версии"));
        QCOMPARE(m_probe->calls(), 0);
        QCOMPARE(m_sim->connectionCount(), 0);
    }

    void cancelledExportGoesOnAndBlocksAnotherExchange()
    {
        startRegister("127.0.0.35");
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.35"));
        auto w = openWindow();
        m_sim->setReplyDelay(100);
        cancelProgressAt(QStringLiteral("Выгрузка в ККТ..."));
        m_dialogs->answerYes();
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        m_dialogs->clear();

        trigger(w.get(), "actionImport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Загрузка из ККТ"));

        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->shown().size(), 2, 20000);
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Выгрузка завершена успешно"));
        QCOMPARE(m_sim->areaContent(2).left(w->paramsImage().size()), w->paramsImage());
    }

    void validateTwiceAndShowIssue()
    {
        registerDevice(QStringLiteral("2.53.*"), QString());
        auto w = openWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        trigger(w.get(), "actionValidate");
        auto *dock = w->findChild<DeviceIssueWidget *>();
        QVERIFY(dock);
        QVERIFY(dock->isVisible());
        QCOMPARE(w->dockWidgetArea(dock), Qt::BottomDockWidgetArea);
        const int defaultProblems = dock->model()->rowCount();
        QVERIFY(defaultProblems > 0);

        auto *config = qobject_cast<DeviceWidget *>(child<QTabWidget>(w.get(), "tabWidget")->widget(0));
        auto *price = child<QLineEdit>(w.get(), "maxPriceEdit");
        dock->addIssue(config, price, QStringLiteral("left from before"));
        dock->hide();
        trigger(w.get(), "actionValidate");
        QVERIFY(dock->isVisible());
        QCOMPARE(dock->model()->rowCount(), defaultProblems);
        QCOMPARE(w->findChildren<DeviceIssueWidget *>().size(), 1);

        // A listed problem leads to its tab and control.
        auto *tabs = child<QTabWidget>(w.get(), "tabWidget");
        auto *other = new QWidget;
        tabs->addTab(other, QStringLiteral("other"));
        tabs->setCurrentWidget(other);
        dock->addIssue(config, price, QStringLiteral("price"));
        auto *view = dock->findChild<QListView *>();
        const QModelIndex issue = view->model()->index(defaultProblems, 0);
        doubleClickCell(view, issue);
        QCOMPARE(tabs->currentWidget(), config);
        QTRY_COMPARE(QApplication::focusWidget(), price);
    }

    void unknownFamilyHasNoSetAndTouchesNothing()
    {
        registerDevice(QStringLiteral("2.60.1"), QStringLiteral("127.0.0.30"));
        DeviceProfile().save(kSerial, QStringLiteral("2.60.1"), 0, QByteArray(256, 'x'), {});
        auto w = openWindow();
        QVERIFY(!w->params());
        QCOMPARE(child<QTabWidget>(w.get(), "tabWidget")->count(), 0);

        trigger(w.get(), "actionSaveProfile");
        trigger(w.get(), "actionExport");
        trigger(w.get(), "actionGoods");
        QCOMPARE(m_dialogs->shown().size(), 3);
        for (const DialogRequest &r : m_dialogs->shown()) {
            QCOMPARE(r.kind, DialogRequest::Warning);
            QVERIFY2(r.text.contains(QStringLiteral("2.60.1")), qPrintable(r.text));
        }
        QCOMPARE(m_probe->calls(), 0);
        QString version;
        int cap = -1;
        QByteArray params, system;
        DeviceProfile().load(kSerial, version, cap, params, system);
        QCOMPARE(params, QByteArray(256, 'x'));
        QCOMPARE(registryRecord().version, QStringLiteral("2.60.1"));
    }

    void unknownReportedVersionKeepsTheWindow()
    {
        startRegister("127.0.0.36");
        m_sim->setVersion(RegisterSimulator::makeVersion(2, 54, 1));
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.36"));
        auto w = openWindow();
        trigger(w.get(), "actionImport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        // The session refuses the read before any area; the box says why.
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Ошибка загрузки. -16"));
        QCOMPARE(m_dialogs->last().informative,
                 QStringLiteral("Версия ККТ 2.54.1 не поддерживается.\nАдрес ККТ: 127.0.0.36."));
        QCOMPARE(m_sim->requestTrace().filter(QStringLiteral("C2 ")).size(), 2);
        QVERIFY(qobject_cast<DeviceParams53 *>(w->params()));
        QCOMPARE(child<QTabWidget>(w.get(), "tabWidget")->count(), 8);
        QVERIFY(!w->hasData());
    }

    void profileSaveLeavesGoodsImage()
    {
        registerDevice(QStringLiteral("2.53.*"), QString());
        const QByteArray goods(256, '\x42');
        DeviceProfile().saveGoods(kSerial, goods);
        auto w = openWindow();
        trigger(w.get(), "actionSaveProfile");
        QByteArray stored;
        DeviceProfile().loadGoods(kSerial, stored);
        QCOMPARE(stored, goods);
        QString version;
        int cap = -1;
        QByteArray params, system;
        DeviceProfile().load(kSerial, version, cap, params, system);
        QCOMPARE(params.size(), 5252);
    }

    void goodsOpensGoodsWindowOfThisRegister()
    {
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.31"));
        auto w = openWindow();
        trigger(w.get(), "actionGoods");
        QVERIFY(m_dialogs->shown().isEmpty());
        auto *goods = w->findChild<GoodsWindow *>();
        QVERIFY(goods);
        QVERIFY(goods->isVisible());
        QVERIFY(goods->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(goods->windowModality(), Qt::WindowModal);
        QCOMPARE(goods->serial(), w->serial());
        QCOMPARE(goods->address(), QStringLiteral("127.0.0.31"));
        QCOMPARE(goods->port(), quint16(8080));
        QCOMPARE(goods->capacity(), 2000);
        QPointer<GoodsWindow> guard(goods);
        goods->close();
        QTRY_VERIFY(guard.isNull());
    }

    void changeAddress()
    {
        registerDevice(QStringLiteral("2.53.*"), QStringLiteral("127.0.0.30"));
        auto w = openWindow();
        QSignalSpy registryChanged(w.get(), &DeviceWindow::updateRegistry);

        m_dialogs->answerCancel();
        trigger(w.get(), "actionChangeAddr");
        QCOMPARE(registryChanged.count(), 0);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Смена адреса ККТ"));
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Введите адрес:"));

        m_probe->setUnreachable(QStringLiteral("127.0.0.97"));
        m_dialogs->clear();
        m_dialogs->answerAddress(QStringLiteral("127.0.0.97"));
        m_dialogs->answerNo();
        m_dialogs->answerAddress(QStringLiteral("127.0.0.97"));
        m_dialogs->answerYes();
        trigger(w.get(), "actionChangeAddr");
        QCOMPARE(m_dialogs->shown().size(), 4);
        QCOMPARE(m_dialogs->shown().at(1).kind, DialogRequest::Question);
        QCOMPARE(m_dialogs->shown().at(1).text,
                 QStringLiteral("ККТ по адресу 127.0.0.97 не доступен. Все равно сменить адрес?"));
        QCOMPARE(registryChanged.count(), 1);
        QCOMPARE(registryRecord().addr, QStringLiteral("127.0.0.97"));
        QCOMPARE(child<QLabel>(w.get(), "addressLabel")->text(), QStringLiteral("127.0.0.97"));
    }

private:
    static void retype(DeviceWindow *w, const char *name, const QString &value)
    {
        auto *edit = child<QLineEdit>(w, name);
        QVERIFY(edit);
        WindowDriver::retype(edit, value);
        QCOMPARE(edit->text(), value);
    }
};

QTEST_MAIN(TestDeviceWindow)
#include "tst_devicewindow.moc"
