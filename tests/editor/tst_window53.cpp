#include "editor/devicewindow.h"
#include "params/checks53.h"
#include "params/deviceparams53.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "sim/registersimulator.h"
#include "tests/editor/samplearea.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"
#include "widgets/deviceissue.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using namespace WindowDriver;

namespace {

const QString kSerial = QStringLiteral("2530000001");
const char *const kAddress = "127.0.0.160";

QStringList listedProblems(DeviceWindow *window)
{
    QStringList texts;
    auto *dock = window->findChild<DeviceIssueWidget *>();
    for (int i = 0; dock && i < dock->model()->rowCount(); ++i)
        texts << dock->model()->issue(i)->text;
    return texts;
}

std::unique_ptr<DeviceParams53> loadedSet(const QByteArray &area)
{
    auto set = std::make_unique<DeviceParams53>();
    set->load(kSerial, area, {});
    return set;
}

QByteArray savedArea(DeviceParams53 &set, QByteArray area)
{
    QByteArray system;
    set.save(area, system);
    return area;
}

using SetEdit = std::function<void(DeviceParams53 &)>;

// The sample register with one kind of trouble in each table.
QByteArray troubledArea(const SetEdit &edit)
{
    auto set = loadedSet(SampleArea::registerParamsArea(kSerial));
    for (UserRecord53 &user : set->users())
        user.flags &= ~UserRecord53::HiddenFlag;
    edit(*set);
    return savedArea(*set, SampleArea::registerParamsArea(kSerial));
}

}

Q_DECLARE_METATYPE(SetEdit)

class TestWindow53 : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowSandbox> m_sandbox;
    ScriptedDialogs *m_dialogs = nullptr;

    std::unique_ptr<DeviceWindow> openWindow(const QString &address = QString())
    {
        DeviceRegistry registry;
        registry.registerDevice(kSerial, QStringLiteral("2.53.*"), QStringLiteral("Касса 7"), address);
        registry.save();
        auto window = std::make_unique<DeviceWindow>();
        window->setDevice(kSerial, QStringLiteral("2.53.*"), QStringLiteral("Касса 7"), address);
        return window;
    }

private slots:
    void init() { m_dialogs = &m_sandbox.emplace().dialogs; }

    void cleanup()
    {
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        m_dialogs = nullptr;
        m_sandbox.reset();
    }

    void freshWindowProblems()
    {
        auto w = openWindow();
        trigger(w.get(), "actionValidate");
        const QStringList expected{
            QStringLiteral("ИНН организации не задан"),
            QStringLiteral("Наименование организации не задано"),
            QStringLiteral("Адрес организации не задан"),
            QStringLiteral("Место расчета не задано"),
            QStringLiteral("ИНН ОФД не задан"),
            QStringLiteral("Адрес подключения к ОФД не задан"),
            QStringLiteral("Порт подключения к ОФД не задан"),
            QStringLiteral("Адрес сайта ОФД не задан"),
            QStringLiteral("Наименование ОФД не задано"),
            QStringLiteral("Адрес сайта ФНС не задан"),
        };
        QCOMPARE(listedProblems(w.get()), expected);
        auto *set = qobject_cast<DeviceParams53 *>(w->params());
        QVERIFY(set);
        QCOMPARE(validateParams53(*set), expected);

        // Each problem leads to its page.
        auto *dock = w->findChild<DeviceIssueWidget *>();
        auto issue = dock->model()->issue(4).dynamicCast<DeviceIssue>();
        QVERIFY(issue);
        QCOMPARE(issue->widget->objectName(), QStringLiteral("ofdTab"));
        QCOMPARE(issue->control->objectName(), QStringLiteral("ofdInnEdit"));
    }

    void windowListsWhatTheSetCheckGives_data()
    {
        QTest::addColumn<QByteArray>("area");
        QTest::addColumn<int>("expectedCount");
        QTest::newRow("sample register") << SampleArea::registerParamsArea(kSerial) << 0;
        QTest::newRow("troubled") << troubledArea([](DeviceParams53 &set) {
            set.users()[2].flags |= UserRecord53::HiddenFlag;
            set.users()[4].flags |= UserRecord53::HiddenFlag;
            set.config().defaultCashier = 4;
            set.users()[3].setActive(false);
            set.users()[5].setBarcode(QStringLiteral("4600000000001"));
            set.users()[6].setInn(QStringLiteral("12345"));
            set.users()[4].setInn(QStringLiteral("hidden"));
            set.ofd().setInn(QStringLiteral("000000000000"));
            set.ofd().connectTimer = 30;
            set.ofd().port = 0;
            set.ofd().setAddress(QString(64, QLatin1Char('o')));
            set.org().setEmail(QString());
            set.org().setName(QStringLiteral("\t"));
            set.org().setPlace(QString());
            set.registration().setRegNumber(QStringLiteral("0000000001008406"));
        }) << 6;
        QTest::newRow("no cashier, no inn") << troubledArea([](DeviceParams53 &set) {
            set.config().defaultCashier = 0;
            set.org().setInn(QString());
            set.ofd().setInn(QStringLiteral("0000000000"));
            set.registration().setRegNumber(QStringLiteral("bad"));
            set.registration().setFnNumber(QString());
            set.ofd().setTaxSite(QString());
        }) << 4;
        QTest::newRow("active ofd without e-mail") << troubledArea([](DeviceParams53 &set) {
            set.org().setEmail(QString());
            set.org().setInn(QStringLiteral("500100732258"));
        }) << 3;
        // Whatever a damaged image holds, the window and the check agree.
        QByteArray noise(21 * 256, '\0');
        QRandomGenerator random(7);
        for (char &b : noise)
            b = char(random.bounded(256));
        QTest::newRow("noise") << noise << -1;
    }

    void windowListsWhatTheSetCheckGives()
    {
        QFETCH(QByteArray, area);
        QFETCH(int, expectedCount);
        DeviceProfile().save(kSerial, QStringLiteral("2.53.10"), 2000, area, {});
        auto w = openWindow();
        QVERIFY(w->hasData());
        trigger(w.get(), "actionValidate");
        const QStringList listed = listedProblems(w.get());
        QCOMPARE(listed, validateParams53(*loadedSet(area)));
        if (expectedCount >= 0)
            QCOMPARE(listed.size(), expectedCount);
    }

    void troubledRegisterProblemsInOrder()
    {
        const QByteArray area = troubledArea([](DeviceParams53 &set) {
            set.users()[2].flags |= UserRecord53::HiddenFlag;
            set.config().defaultCashier = 4;
            set.users()[3].setActive(false);
            set.users()[5].setBarcode(QStringLiteral("4600000000001"));
            set.ofd().setInn(QStringLiteral("000000000000"));
            set.org().setEmail(QString());
            set.registration().setRegNumber(QStringLiteral("0000000001008406"));
        });
        DeviceProfile().save(kSerial, QStringLiteral("2.53.10"), 2000, area, {});
        auto w = openWindow();
        trigger(w.get(), "actionValidate");
        QCOMPARE(listedProblems(w.get()),
                 (QStringList{QStringLiteral("Пользователь по умолчанию (Кассир 4) не активен"),
                              QStringLiteral("Штрихкод пользователя Кассир 6 содержит некорректное значение 4600000000001"),
                              QStringLiteral("Регистрационный номер содержит некорректное значение")}));
    }

    void importEditEveryPageSaveAndReopen()
    {
        RegisterSimulator sim(SimConfig::family253(kSerial.toLatin1()));
        QVERIFY2(sim.start(QHostAddress(QLatin1String(kAddress)), 8080), qPrintable(sim.errorString()));
        const QByteArray area = SampleArea::registerParamsArea(kSerial);
        QVERIFY(sim.setAreaContent(2, area));

        auto w = openWindow(QLatin1String(kAddress));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        trigger(w.get(), "actionImport");
        QVERIFY2(m_dialogs->shown().isEmpty(), qPrintable(m_dialogs->last().text));
        QCOMPARE(w->paramsImage(), area);

        auto *price = child<QLineEdit>(w.get(), "maxPriceEdit");
        price->selectAll();
        QTest::keyClicks(price, "4.35");

        showPage(w.get(), "positionTab");
        auto *positions = child<QListView>(w.get(), "positionView");
        QVERIFY(typeInto(positions, positions->model()->index(1, 0),
                         QStringLiteral("Кладовщик")));

        showPage(w.get(), "userTab");
        auto *users = child<QTableView>(w.get(), "userView");
        QVERIFY(typeInto(users, users->model()->index(0, 4),
                         QStringLiteral("Сидоров Иван")));

        showPage(w.get(), "deptTab");
        auto *depts = child<QTableView>(w.get(), "deptView");
        QVERIFY(choose(depts, depts->model()->index(2, 2), QStringLiteral("ЕНВД")));

        showPage(w.get(), "orgTab");
        auto *place = child<QLineEdit>(w.get(), "orgPlaceEdit");
        place->selectAll();
        typeText(place, QStringLiteral("Склад"));

        showPage(w.get(), "designTab");
        typeText(child<QLineEdit>(w.get(), "footerLine1"), QStringLiteral("Ждём вас снова"));

        showPage(w.get(), "ofdTab");
        auto *port = child<QSpinBox>(w.get(), "ofdPortSpin");
        port->setValue(7001);

        showPage(w.get(), "registrationTab");
        m_dialogs->answerYes();
        click(w.get(), "unblockButton");
        auto *fn = child<QLineEdit>(w.get(), "fnNumberEdit");
        fn->selectAll();
        QTest::keyClicks(fn, "9999078900005678");

        trigger(w.get(), "actionSaveProfile");
        QCOMPARE(m_dialogs->shown().size(), 1);
        w.reset();

        // Exactly these edits reach the image; every other byte is the register's.
        auto loaded = loadedSet(area);
        DeviceParams53 &expected = *loaded;
        expected.config().maxPrice = 43500;
        expected.setPositionName(1, QStringLiteral("Кладовщик"));
        expected.users()[0].setFullName(QStringLiteral("Сидоров Иван"));
        expected.departments()[2].tax = 8;
        expected.org().setPlace(QStringLiteral("Склад"));
        QStringList footer = expected.footerLines();
        footer[1] = QStringLiteral("Ждём вас снова");
        expected.setFooterLines(footer);
        expected.ofd().port = 7001;
        expected.registration().setFnNumber(QStringLiteral("9999078900005678"));
        const QByteArray expectedImage = savedArea(expected, area);

        auto again = openWindow(QLatin1String(kAddress));
        QCOMPARE(again->paramsImage().toHex(), expectedImage.toHex());
        QCOMPARE(child<QLineEdit>(again.get(), "maxPriceEdit")->text(), QStringLiteral("4.35"));
        QCOMPARE(child<QListView>(again.get(), "positionView")->model()->index(1, 0).data().toString(),
                 QStringLiteral("Кладовщик"));
        QCOMPARE(child<QTableView>(again.get(), "userView")->model()->index(0, 4).data().toString(),
                 QStringLiteral("Сидоров Иван"));
        QCOMPARE(child<QTableView>(again.get(), "deptView")->model()->index(2, 2).data().toString(),
                 QStringLiteral("ЕНВД"));
        QCOMPARE(child<QLineEdit>(again.get(), "orgPlaceEdit")->text(), QStringLiteral("Склад"));
        QCOMPARE(child<QLineEdit>(again.get(), "footerLine1")->text(), QStringLiteral("Ждём вас снова"));
        QCOMPARE(child<QSpinBox>(again.get(), "ofdPortSpin")->value(), 7001);
        QCOMPARE(child<QLineEdit>(again.get(), "fnNumberEdit")->text(), QStringLiteral("9999078900005678"));
        QVERIFY(child<QLineEdit>(again.get(), "fnNumberEdit")->isReadOnly());
    }

    void readFromAShorterHeaderLeavesNoOldLines()
    {
        DeviceParams53 older;
        older.setHeaderLines({QStringLiteral("Старый 1"), QStringLiteral("Старый 2"), QStringLiteral("Старый 3"),
                              QStringLiteral("Старый 4")});
        DeviceProfile().save(kSerial, QStringLiteral("2.53.10"), 2000, savedArea(older, QByteArray()), {});

        RegisterSimulator sim(SimConfig::family253(kSerial.toLatin1()));
        QVERIFY2(sim.start(QHostAddress(QStringLiteral("127.0.0.161")), 8080), qPrintable(sim.errorString()));
        const QByteArray area = troubledArea([](DeviceParams53 &set) {
            set.setHeaderLines({QStringLiteral("Новый")});
        });
        QVERIFY(sim.setAreaContent(2, area));

        auto w = openWindow(QStringLiteral("127.0.0.161"));
        QCOMPARE(child<QLineEdit>(w.get(), "headerLine3")->text(), QStringLiteral("Старый 4"));
        trigger(w.get(), "actionImport");
        QVERIFY2(m_dialogs->shown().isEmpty(), qPrintable(m_dialogs->last().text));
        QVERIFY(child<QLineEdit>(w.get(), "headerLine3")->text().isEmpty());
        trigger(w.get(), "actionSaveProfile");

        QString version;
        int cap = 0;
        QByteArray params, system;
        DeviceProfile().load(kSerial, version, cap, params, system);
        QCOMPARE(loadedSet(params)->headerLines().join(QLatin1Char('|')), QStringLiteral("Новый|||||"));
    }
};

QTEST_MAIN(TestWindow53)
#include "tst_window53.moc"
