#include "app/browsedevicedialog.h"
#include "app/registerdevicedialog.h"
#include "link/devicefinder.h"
#include "params/deviceregistry.h"
#include "tests/support/core/simulators.h"
#include "tests/support/core/wine.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>

using namespace WindowDriver;

namespace {

// The dialog always talks to port 8080, so every case gets its own address.
int g_nextHost = 70;

QString nextHost()
{
    return QStringLiteral("127.0.0.%1").arg(++g_nextHost);
}

std::unique_ptr<RegisterSimulator> startRegister(const QString &host, int major, int minor, int build,
                                                 const QByteArray &serial)
{
    SimConfig config = minor > 52 ? SimConfig::family253(serial) : SimConfig::family252(serial);
    config.version = RegisterSimulator::makeVersion(major, minor, build);
    return Simulators::start(config, host, Simulators::WindowPort);
}

QVector<DeviceRecord> registry()
{
    return DeviceRegistry().devices();
}

}

class TestRegisterDeviceDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dialogs = &m_sandbox.emplace().dialogs;
        m_probe = &m_sandbox->probe;
        m_dialog = std::make_unique<RegisterDeviceDialog>();
        m_dialog->show();
    }

    void cleanup()
    {
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        m_dialog.reset();
        m_sandbox.reset();
        DeviceFinder::setAddressSource({});
    }

    void supportedVersions_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("build");
        QTest::addColumn<bool>("supported");
        QTest::newRow("2.52.37") << 2 << 52 << 37 << false;
        QTest::newRow("2.52.38") << 2 << 52 << 38 << true;
        QTest::newRow("2.52.65535") << 2 << 52 << 65535 << true;
        QTest::newRow("2.53.0") << 2 << 53 << 0 << true;
        QTest::newRow("2.53.999") << 2 << 53 << 999 << true;
        QTest::newRow("3.53.0") << 3 << 53 << 0 << false;
        QTest::newRow("2.51.99") << 2 << 51 << 99 << false;
        QTest::newRow("2.54.1") << 2 << 54 << 1 << false;
    }

    void supportedVersions()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, build);
        QTEST(RegisterDeviceDialog::isSupportedVersion(major, minor, build), "supported");
    }

    void layout()
    {
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Регистрация ККТ"));
        QCOMPARE(edit("serialEdit")->maxLength(), 16);
        QCOMPARE(button("browseButton")->text(), QStringLiteral("Обзор"));
        QCOMPARE(button("okButton")->text(), QStringLiteral("OK"));
        QVERIFY(button("okButton")->isDefault());
        QCOMPARE(button("closeButton")->text(), QStringLiteral("Закрыть"));
        QCOMPARE(RegisterDeviceDialog::supportedVersionPatterns(), QStringList({"2.52.*", "2.53.*"}));
        // The address field refuses what cannot become an address.
        QTest::keyClicks(edit("ipEdit"), QStringLiteral("127.0.x0.300"));
        QCOMPARE(edit("ipEdit")->text(), QStringLiteral("127.0.0.30"));
    }

    void noInputWarns()
    {
        pressOk();
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Регистрация ККТ"));
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Введите заводской номер ККТ или IP адрес!"));
        QVERIFY(m_dialog->isVisible());
    }

    void serialOnlyRegistersOfflineWithoutTraffic()
    {
        QTest::keyClicks(edit("serialEdit"), QStringLiteral("0012345678"));
        m_dialogs->answerItem(QStringLiteral("2.52.*"));
        pressOk();
        QCOMPARE(m_probe->calls(), 0);
        const DialogRequest choice = m_dialogs->last();
        QCOMPARE(choice.kind, DialogRequest::Item);
        QCOMPARE(choice.title, QStringLiteral("Регистрация ККТ"));
        QCOMPARE(choice.text, QStringLiteral("Укажите версию ФС ККТ"));
        QCOMPARE(choice.items, QStringList({"2.52.*", "2.53.*"}));
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        const auto devices = registry();
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices[0].serial, QStringLiteral("0012345678"));
        QCOMPARE(devices[0].name, QStringLiteral("0012345678"));
        QCOMPARE(devices[0].version, QStringLiteral("2.52.*"));
        QCOMPARE(devices[0].addr, QString());
    }

    void cancelledFamilyChoiceKeepsDialogOpen()
    {
        QTest::keyClicks(edit("serialEdit"), QStringLiteral("77"));
        m_dialogs->answerCancel();
        pressOk();
        QVERIFY(m_dialog->isVisible());
        QVERIFY(registry().isEmpty());
    }

    void addressOnlyStoresReportedSerial()
    {
        const QString host = nextHost();
        auto sim = startRegister(host, 2, 53, 10, "2530000001");
        QTest::keyClicks(edit("ipEdit"), host);
        pressOk();
        QVERIFY2(m_dialogs->shown().isEmpty(), qPrintable(m_dialogs->last().text));
        QCOMPARE(m_probe->asked(), QStringList({host}));
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        const auto devices = registry();
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices[0].serial, QStringLiteral("2530000001"));
        QCOMPARE(devices[0].name, QStringLiteral("2530000001"));
        QCOMPARE(devices[0].version, QStringLiteral("2.53.10"));
        QCOMPARE(devices[0].addr, host);
        // An identity query reads no area.
        for (const SimRequest &r : sim->requests())
            QVERIFY(r.command == 0xC1 || (r.command == 0xC2 && r.count == 1));
    }

    void versionRules_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("build");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("2.52.37") << 2 << 52 << 37 << false;
        QTest::newRow("2.52.38") << 2 << 52 << 38 << true;
        QTest::newRow("3.53.0") << 3 << 53 << 0 << false;
        QTest::newRow("2.51.99") << 2 << 51 << 99 << false;
    }

    void versionRules()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, build);
        QFETCH(bool, accepted);
        const QString host = nextHost();
        auto sim = startRegister(host, major, minor, build, "520000000001");
        QTest::keyClicks(edit("ipEdit"), host);
        pressOk();
        const QString version = QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(build);
        if (accepted) {
            QVERIFY(m_dialogs->shown().isEmpty());
            QCOMPARE(registry().size(), 1);
            QCOMPARE(registry()[0].version, version);
        } else {
            QCOMPARE(m_dialogs->shown().size(), 1);
            QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
            QCOMPARE(m_dialogs->last().text, QStringLiteral("Версия ККТ %1 не поддерживается").arg(version));
            QVERIFY(registry().isEmpty());
            QVERIFY(m_dialog->isVisible());
        }
    }

    void matchingSerialIsRegistered()
    {
        const QString host = nextHost();
        auto sim = startRegister(host, 2, 53, 4, "AB12");
        QTest::keyClicks(edit("serialEdit"), QStringLiteral("AB12"));
        QTest::keyClicks(edit("ipEdit"), host);
        pressOk();
        QVERIFY(m_dialogs->shown().isEmpty());
        QCOMPARE(registry().size(), 1);
        QCOMPARE(registry()[0].addr, host);
    }

    void serialMismatchCountsLetterCase()
    {
        const QString host = nextHost();
        auto sim = startRegister(host, 2, 53, 4, "AB12");
        QTest::keyClicks(edit("serialEdit"), QStringLiteral("ab12"));
        QTest::keyClicks(edit("ipEdit"), host);
        pressOk();
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().text,
                 QStringLiteral("По адресу %1 отвечает ККТ с зав.номером AB12").arg(host));
        QVERIFY(registry().isEmpty());
        QCOMPARE(edit("serialEdit")->text(), QStringLiteral("ab12"));
    }

    void unreachableWithSerialOffersOffline()
    {
        m_probe->setUnreachable(QStringLiteral("127.0.0.99"));
        QTest::keyClicks(edit("serialEdit"), QStringLiteral("555"));
        QTest::keyClicks(edit("ipEdit"), QStringLiteral("127.0.0.99"));
        m_dialogs->answerYes();
        m_dialogs->answerItem(QStringLiteral("2.53.*"));
        pressOk();
        QCOMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(m_dialogs->shown()[0].kind, DialogRequest::Question);
        QCOMPARE(m_dialogs->shown()[0].text,
                 QStringLiteral("ККТ по адресу 127.0.0.99 не отвечает. Зарегистрировать оффлайн?"));
        const auto devices = registry();
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices[0].version, QStringLiteral("2.53.*"));
        QCOMPARE(devices[0].addr, QString());
    }

    void unreachableOfferDeclinedKeepsInput()
    {
        m_probe->setUnreachable(QStringLiteral("127.0.0.98"));
        QTest::keyClicks(edit("serialEdit"), QStringLiteral("555"));
        QTest::keyClicks(edit("ipEdit"), QStringLiteral("127.0.0.98"));
        m_dialogs->answerNo();
        pressOk();
        QVERIFY(registry().isEmpty());
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(edit("ipEdit")->text(), QStringLiteral("127.0.0.98"));
    }

    void unreachableWithoutSerialWarns()
    {
        m_probe->setUnreachable(QStringLiteral("127.0.0.97"));
        QTest::keyClicks(edit("ipEdit"), QStringLiteral("127.0.0.97"));
        pressOk();
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().text, QStringLiteral("ККТ по адресу 127.0.0.97 не отвечает"));
    }

    void failedQueryIsReportedOncePerPress()
    {
        // Reachable by the probe, but nothing listens on port 8080 there.
        const QString host = nextHost();
        QTest::keyClicks(edit("ipEdit"), host);
        pressOk();
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Critical);
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Ошибка подключения (-14) к ККТ по адресу %1").arg(host));
        pressOk();
        QCOMPARE(m_dialogs->shown().size(), 2);
        QVERIFY(m_dialog->isVisible());

        // The register comes up: the third press registers it, with no stale report.
        auto sim = startRegister(host, 2, 53, 1, "31");
        pressOk();
        QCOMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(registry().size(), 1);
    }

    void reRegistrationUpdatesInPlace()
    {
        {
            DeviceRegistry r;
            r.registerDevice(QStringLiteral("first"), QStringLiteral("2.53.*"), QStringLiteral("Касса"), QString());
            r.registerDevice(QStringLiteral("41"), QStringLiteral("2.52.*"), QStringLiteral("Старое имя"), QString());
            r.registerDevice(QStringLiteral("last"), QStringLiteral("2.53.*"), QString(), QString());
        }
        const QString host = nextHost();
        auto sim = startRegister(host, 2, 53, 8, "41");
        QTest::keyClicks(edit("ipEdit"), host);
        pressOk();
        const auto devices = registry();
        QCOMPARE(devices.size(), 3);
        QCOMPARE(devices[1].serial, QStringLiteral("41"));
        QCOMPARE(devices[1].version, QStringLiteral("2.53.8"));
        QCOMPARE(devices[1].addr, host);
        QCOMPARE(devices[1].name, QStringLiteral("41"));
    }

    void browseFillsBothFields()
    {
        if (runsUnderWine())
            QSKIP(kWineSharesUdpPorts);
        const QString host = nextHost();
        auto sim = startRegister(host, 2, 53, 8, "8080808080");
        QVERIFY(sim->startDiscovery(8090));
        sim->setDiscoveryIp(host.toLatin1());
        DeviceFinder::setAddressSource([host] { return QList<QHostAddress>{QHostAddress(host)}; });

        bool picked = false;
        QElapsedTimer clock;
        clock.start();
        QTimer picker;
        connect(&picker, &QTimer::timeout, [&] {
            auto *browse = qobject_cast<BrowseDeviceDialog *>(QApplication::activeModalWidget());
            if (!browse)
                return;
            auto *table = browse->findChild<QTableView *>(QStringLiteral("browseTable"));
            if (clock.elapsed() > 10000) {
                picker.stop();
                browse->reject();
                return;
            }
            if (!table || table->model()->rowCount() == 0)
                return;
            picker.stop();
            picked = true;
            doubleClickCell(table, table->model()->index(0, 1));
        });
        picker.start(50);
        click(m_dialog.get(), "browseButton");
        QVERIFY(picked);
        QCOMPARE(edit("serialEdit")->text(), QStringLiteral("8080808080"));
        QCOMPARE(edit("ipEdit")->text(), host);
        QVERIFY(registry().isEmpty());
    }

    void browseClosedLeavesFieldsUnchanged()
    {
        DeviceFinder::setAddressSource([] { return QList<QHostAddress>{}; });
        QTest::keyClicks(edit("serialEdit"), QStringLiteral("keep"));
        QTimer::singleShot(300, [] {
            if (auto *browse = qobject_cast<BrowseDeviceDialog *>(QApplication::activeModalWidget()))
                browse->reject();
        });
        click(m_dialog.get(), "browseButton");
        QCOMPARE(edit("serialEdit")->text(), QStringLiteral("keep"));
        QCOMPARE(edit("ipEdit")->text(), QString());
    }

private:
    QLineEdit *edit(const char *name) const { return child<QLineEdit>(m_dialog.get(), name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(m_dialog.get(), name); }
    void pressOk() { click(m_dialog.get(), "okButton"); }

    std::optional<WindowSandbox> m_sandbox;
    ScriptedDialogs *m_dialogs = nullptr;
    FixedProbe::Scope *m_probe = nullptr;
    std::unique_ptr<RegisterDeviceDialog> m_dialog;
};

QTEST_MAIN(TestRegisterDeviceDialog)
#include "tst_registerdevicedialog.moc"
