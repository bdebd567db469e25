#include "editor/devicewindow.h"
#include "params/cp1251codec.h"
#include "params/deviceparams52.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "tests/editor/samplearea.h"
#include "tests/support/core/simulators.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <memory>
#include <optional>

using namespace WindowDriver;
using SampleArea::littleEndian;
using Simulators::writesSeen;

namespace {

const QString kSerial = QStringLiteral("520000017");
const quint16 kPort = Simulators::WindowPort;

// A params area and system block as a 2.52 register holds them: arbitrary
// bytes wherever no table lies and in the fields no page shows, values the
// pages show exactly everywhere else.
struct RegisterContent
{
    QByteArray params;
    QByteArray system;
};

void fillUsers(DeviceParams52 &set)
{
    QVector<UserRecord52> &users = set.users();
    for (int i = 0; i < users.size(); ++i) {
        UserRecord52 &u = users[i];
        u.setName(QStringLiteral("Кассир №%1").arg(i + 1));
        u.rights = static_cast<qint8>(1 + i % 4);
        u.setBarcode(QStringLiteral("2000000000%1").arg(i + 10));
        u.position = static_cast<qint8>(1 + (i * 3) % 8);
        u.flags = static_cast<quint16>((u.flags | 0x0130) & ~UserRecord52::HiddenFlag);
        if (i == users.size() - 1)
            u.flags |= UserRecord52::HiddenFlag;
    }
}

void fillShared(DeviceParams52 &set)
{
    for (int i = 0; i < DeviceParams::PositionCount; ++i)
        set.setPositionName(i, QStringLiteral("Должность %1").arg(i + 1));
    QVector<DeptRecord> &depts = set.departments();
    for (int i = 0; i < depts.size(); ++i) {
        depts[i].setName(QStringLiteral("Секция %1").arg(i + 1));
        depts[i].vat = static_cast<qint8>(1 + i % 6);
        depts[i].setTaxIndex(i % 7);
    }
    set.setHeaderLines({QStringLiteral("ООО ВАСИЛЁК"), QStringLiteral("г. Тверь"), QString(),
                        QString(), QString(), QStringLiteral("Добро пожаловать")});
    set.setFooterLines({QStringLiteral("Спасибо за покупку"), QString(), QString(), QString(),
                        QString(), QString()});
}

void fillConfig(ConfigBlock52 &c)
{
    c.setSerial(kSerial);
    c.defaultDept = 2;
    c.deptCount = 6;
    c.internalCodeSize = 4;
    c.weightPrefix = 23;
    c.printDensity = 3;
    c.smallFont = 1;
    c.keySensitivity = 2;
    c.keySound = 0;
    c.displayTimer = 40;
    c.displayMode = 1;
    c.printFlags = 0x000A;
    c.maxPrice = 99990000;
    c.maxDeposit = 1234500;
    c.maxQuantity = 50000;
    c.tradeFlags = 0x2;
    c.defaultCashier = 7;
}

RegisterContent registerContent()
{
    QRandomGenerator random(52261208);
    RegisterContent r;
    r.params = QByteArray(10 * 256, '\0');
    for (char &b : r.params)
        b = char(random.bounded(256));
    DeviceParams52 set;
    set.load(kSerial, r.params, {});
    fillConfig(set.config());
    fillUsers(set);
    fillShared(set);
    set.org().setInn(QStringLiteral("7707083893"));
    set.org().setName(QStringLiteral("ООО Ромашка"));
    set.org().setAddress(QStringLiteral("г. Тверь, ул. Советская, 1"));
    set.ofd().setAddress(QStringLiteral("ofd.example.ru"));
    set.ofd().setSite(QStringLiteral("www.example.ru"));
    set.ofd().setInn(QStringLiteral("7704358518"));
    set.ofd().port = 7779;
    set.ofd().connectTimer = 60;
    set.ofd().pollTimer = 20;
    for (int day = 1; day <= 3; ++day) {
        RegistrationRecord52 h;
        h.setDateTime(QDateTime(QDate(2018, 7, day), QTime(9, 15 + day)));
        h.setRegNumber(QStringLiteral("00000123456780%1").arg(day, 2, 10, QLatin1Char('0')));
        h.setInn(QStringLiteral("7707083893"));
        h.setFnNumber(QStringLiteral("871000010000000%1").arg(day));
        h.taxSystems = static_cast<quint8>(day);
        h.workModes = static_cast<quint8>(day * 8);
        set.history().append(h);
    }
    r.system = QByteArray(4 * 256, '\0');
    set.save(r.params, r.system);
    return r;
}

void setXor(QByteArray &bytes, int start, int length)
{
    char x = 0;
    for (int i = start; i < start + length; ++i)
        x ^= bytes.at(i);
    bytes[start + length] = x;
}

void put(QByteArray &bytes, int offset, const QByteArray &field)
{
    bytes.replace(offset, field.size(), field);
}

}

class TestDeviceWindow52 : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowSandbox> m_sandbox;
    ScriptedDialogs *m_dialogs = nullptr;
    std::unique_ptr<RegisterSimulator> m_sim;

    void startRegister(const char *address, const RegisterContent &content)
    {
        m_sim = std::make_unique<RegisterSimulator>(SimConfig::family252(kSerial.toLatin1()));
        QVERIFY2(m_sim->start(QHostAddress(QLatin1String(address)), kPort),
                 qPrintable(m_sim->errorString()));
        QVERIFY(m_sim->setAreaContent(2, content.params));
        QVERIFY(m_sim->setAreaContent(1, content.system));
        DeviceRegistry registry;
        registry.registerDevice(kSerial, QStringLiteral("2.52.40"), QStringLiteral("Касса 52"),
                                QLatin1String(address));
        registry.save();
    }

    std::unique_ptr<DeviceWindow> openWindow()
    {
        DeviceRecord record;
        const DeviceRegistry registry;
        for (const DeviceRecord &d : registry.devices()) {
            if (d.serial == kSerial)
                record = d;
        }
        auto window = std::make_unique<DeviceWindow>();
        window->setDevice(record.serial, record.version, record.name, record.addr);
        show(window.get(), QSize(1200, 700));
        return window;
    }

    // One edit on every 2.52 page.
    static void editEveryPage(DeviceWindow *w)
    {
        QWidget *config = showPage(w, "configTab");
        QTest::keyClick(child<QCheckBox>(config, "printHeaderCheck"), Qt::Key_Space);
        retype(child<QLineEdit>(config, "maxPriceEdit"), QStringLiteral("777.50"));
        child<QComboBox>(config, "defaultCashierCombo")->setCurrentIndex(3);

        auto *positions = child<QListView>(showPage(w, "positionTab"), "positionView");
        QVERIFY(typeInto(positions, positions->model()->index(0, 0), QStringLiteral("Старший кассир")));
        auto *depts = child<QTableView>(showPage(w, "deptTab"), "deptView");
        QVERIFY(typeInto(depts, depts->model()->index(0, 0), QStringLiteral("Бакалея")));
        retype(child<QLineEdit>(showPage(w, "designTab"), "headerLine1"), QStringLiteral("г. Тверь, пл. Ленина"));

        auto *users = child<QTableView>(showPage(w, "userTab"), "userView");
        QVERIFY(typeInto(users, users->model()->index(0, 0), QStringLiteral("Петров")));
        QVERIFY(typeInto(users, users->model()->index(1, 2), QStringLiteral("4006381333931")));
        clickCell(users, users->model()->index(2, 4));

        retype(child<QLineEdit>(showPage(w, "orgTab"), "orgNameEdit"), QStringLiteral("ООО Василёк"));

        QWidget *ofd = showPage(w, "ofdTab");
        retype(child<QLineEdit>(ofd, "ofdPortEdit"), QStringLiteral("7790"));
        retype(child<QLineEdit>(ofd, "ofdInnEdit"), QStringLiteral("7704211201"));

        auto *history = child<QTableView>(showPage(w, "registrationTab"), "registrationView");
        QVERIFY(toggleInEditor(history, history->model()->index(0, 6)));
        QVERIFY(typeInto(history, history->model()->index(1, 1), QStringLiteral("0000099999000042")));
    }

    // What the edits above must change, worked out on the raw bytes.
    static RegisterContent expectedAfterEdits(const RegisterContent &imported)
    {
        RegisterContent e = imported;
        QByteArray &p = e.params;
        p[42] = char(0x0B);
        put(p, 44, littleEndian(7775000, 8));
        put(p, 80, littleEndian(4, 2));
        put(p, 128, Cp1251Codec::encodeField(QStringLiteral("Старший кассир"), 16));
        put(p, 1024 + 1, Cp1251Codec::encodeField(QStringLiteral("Бакалея"), 13));
        put(p, 1792, Cp1251Codec::encodeField(QStringLiteral("ООО ВАСИЛЁК\nг. Тверь, пл. Ленина\n\n\n\n"
                                                             "Добро пожаловать"), 132));
        const int users = 512;
        put(p, users + 10, Cp1251Codec::encodeField(QStringLiteral("Петров"), 15));
        setXor(p, users, 31);
        put(p, users + 32 + 2, QByteArray::fromHex("400638133393"));
        setXor(p, users + 32, 31);
        p[users + 64 + 8] = char(p.at(users + 64 + 8) ^ 0x04);
        setXor(p, users + 64, 31);
        put(p, 256 + 16, Cp1251Codec::encodeField(QStringLiteral("ООО Василёк"), 110));
        put(p, 2304 + 64, littleEndian(7790, 2));
        put(p, 2304 + 134, QByteArray::fromHex("ff7704211201"));

        QByteArray &s = e.system;
        s[59] = 1;
        setXor(s, 0, 63);
        put(s, 64 + 6, Cp1251Codec::encodeField(QStringLiteral("0000099999000042"), 21));
        setXor(s, 64, 63);
        return e;
    }

private slots:
    void init() { m_dialogs = &m_sandbox.emplace().dialogs; }

    void cleanup()
    {
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        m_sim.reset();
        m_sandbox.reset();
    }

    void eightPagesOfTheFamily()
    {
        startRegister("127.0.0.170", registerContent());
        auto w = openWindow();
        auto *tabs = child<QTabWidget>(w.get(), "tabWidget");
        QStringList titles;
        for (int i = 0; i < tabs->count(); ++i)
            titles << tabs->tabText(i);
        QCOMPARE(titles, QStringList({QStringLiteral("Конфигурация"), QStringLiteral("Должности"),
                                      QStringLiteral("Пользователи"), QStringLiteral("Отделы"),
                                      QStringLiteral("Реквизиты организации"), QStringLiteral("Дизайн чека"),
                                      QStringLiteral("Настройки ОФД"),
                                      QStringLiteral("Регистрационные данные")}));
        QStringList names;
        for (int i = 0; i < tabs->count(); ++i)
            names << tabs->widget(i)->objectName();
        QCOMPARE(names, QStringList({QStringLiteral("configTab"), QStringLiteral("positionTab"),
                                     QStringLiteral("userTab"), QStringLiteral("deptTab"),
                                     QStringLiteral("orgTab"), QStringLiteral("designTab"),
                                     QStringLiteral("ofdTab"), QStringLiteral("registrationTab")}));
        QCOMPARE(w->tabs().size(), tabs->count());
        // Defaults until something is read.
        QCOMPARE(child<QComboBox>(w.get(), "defaultCashierCombo")->currentText(), QStringLiteral("Админ. 1"));
        QCOMPARE(child<QLineEdit>(w.get(), "ofdInnEdit")->text(), QStringLiteral("000000000000"));
        QCOMPARE(child<QTableView>(w.get(), "registrationView")->model()->rowCount(), 0);
    }

    void importEditSaveAndReopen()
    {
        RegisterContent content = registerContent();
        // Check bytes the register got wrong, and reserved bytes it filled;
        // a store writes both as they belong.
        content.params[512 + 3 * 32 + 30] = char(0x5A);
        content.params[512 + 3 * 32 + 31] = char(0x00);
        put(content.params, 52, QByteArray::fromHex("0102030405060708"));
        content.system[128 + 61] = char(0x77);
        content.system[128 + 63] = char(0x00);
        RegisterContent expected = expectedAfterEdits(content);
        expected.params[512 + 3 * 32 + 30] = 0;
        setXor(expected.params, 512 + 3 * 32, 31);
        put(expected.params, 52, QByteArray(8, '\0'));
        expected.system[128 + 61] = 0;
        setXor(expected.system, 128, 63);

        startRegister("127.0.0.171", content);
        {
            auto w = openWindow();
            trigger(w.get(), "actionImport");
            QVERIFY(m_dialogs->shown().isEmpty());
            QVERIFY(w->hasData());
            QCOMPARE(w->paramsImage(), content.params);
            QCOMPARE(w->systemBlock(), content.system);
            QCOMPARE(child<QComboBox>(w.get(), "defaultCashierCombo")->currentText(),
                     QStringLiteral("Кассир №7"));
            QCOMPARE(child<QLineEdit>(w.get(), "orgNameEdit")->text(), QStringLiteral("ООО Ромашка"));
            QCOMPARE(child<QLineEdit>(w.get(), "ofdInnEdit")->text(), QStringLiteral("7704358518"));
            QCOMPARE(child<QTableView>(w.get(), "userView")->model()->rowCount(), 8);
            QCOMPARE(child<QTableView>(w.get(), "registrationView")->model()->rowCount(), 3);

            editEveryPage(w.get());
            trigger(w.get(), "actionSaveProfile");
            QVERIFY(m_dialogs->shown().isEmpty());
            QCOMPARE(w->paramsImage().toHex(), expected.params.toHex());
            QCOMPARE(w->systemBlock().toHex(), expected.system.toHex());
        }

        QString version;
        int goodsCap = -1;
        QByteArray params, system;
        DeviceProfile().load(kSerial, version, goodsCap, params, system);
        QCOMPARE(version, QStringLiteral("2.52.38"));
        QCOMPARE(params.toHex(), expected.params.toHex());
        QCOMPARE(system.toHex(), expected.system.toHex());

        auto w = openWindow();
        QVERIFY(w->hasData());
        QVERIFY(child<QCheckBox>(w.get(), "printHeaderCheck")->isChecked());
        QCOMPARE(child<QLineEdit>(w.get(), "maxPriceEdit")->text(), QStringLiteral("777.50"));
        QCOMPARE(child<QComboBox>(w.get(), "defaultCashierCombo")->currentIndex(), 3);
        QAbstractItemModel *users = child<QTableView>(w.get(), "userView")->model();
        QCOMPARE(users->index(0, 0).data().toString(), QStringLiteral("Петров"));
        QCOMPARE(child<QListView>(w.get(), "positionView")->model()->index(0, 0).data().toString(),
                 QStringLiteral("Старший кассир"));
        QCOMPARE(child<QTableView>(w.get(), "deptView")->model()->index(0, 0).data().toString(),
                 QStringLiteral("Бакалея"));
        QCOMPARE(child<QLineEdit>(w.get(), "headerLine1")->text(), QStringLiteral("г. Тверь, пл. Ленина"));
        QCOMPARE(users->index(1, 2).data().toString(), QStringLiteral("4006381333931"));
        QCOMPARE(users->index(2, 4).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(child<QLineEdit>(w.get(), "orgNameEdit")->text(), QStringLiteral("ООО Василёк"));
        QCOMPARE(child<QLineEdit>(w.get(), "ofdPortEdit")->text(), QStringLiteral("7790"));
        QCOMPARE(child<QLineEdit>(w.get(), "ofdInnEdit")->text(), QStringLiteral("7704211201"));
        QAbstractItemModel *history = child<QTableView>(w.get(), "registrationView")->model();
        QCOMPARE(history->index(0, 6).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(history->index(1, 1).data().toString(), QStringLiteral("0000099999000042"));
        QCOMPARE(history->index(2, 4).data().toString(), QStringLiteral("ОБЩАЯ;УПРОЩ. ДОХОД"));
    }

    void writingIsRefusedWithoutTraffic()
    {
        const RegisterContent content = registerContent();
        startRegister("127.0.0.172", content);
        auto w = openWindow();
        trigger(w.get(), "actionImport");
        QVERIFY(m_dialogs->shown().isEmpty());
        editEveryPage(w.get());
        m_sim->clearRequests();
        const int connections = m_sim->connectionCount();

        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().kind, DialogRequest::Warning);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Выгрузка в ККТ"));
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Не поддерживается для данной версии"));
        QTest::qWait(50);
        QCOMPARE(m_sim->connectionCount(), connections);
        QVERIFY(m_sim->requests().isEmpty());
        QCOMPARE(writesSeen(*m_sim), 0);
        QCOMPARE(m_sim->areaContent(2).left(content.params.size()), content.params);
        QCOMPARE(m_sim->areaContent(1).left(content.system.size()), content.system);
    }
};

QTEST_MAIN(TestDeviceWindow52)
#include "tst_devicewindow52.moc"
