#include "editor/ofdtab52.h"
#include "editor/orgtab52.h"
#include "editor/registrationtab52.h"
#include "editor/registrationtablemodel52.h"
#include "editor/usertab52.h"
#include "editor/usertablemodel52.h"
#include "params/deviceparams52.h"
#include "tests/support/widgets/windowdriver.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

using namespace WindowDriver;

namespace {

RegistrationRecord52 historyRecord(int day, quint8 tax, quint8 modes, quint8 closed)
{
    RegistrationRecord52 r;
    r.setDateTime(QDateTime(QDate(2019, 3, day), QTime(14, 35)));
    r.setRegNumber(QStringLiteral("000123456789%1").arg(day, 4, 10, QLatin1Char('0')));
    r.setInn(QStringLiteral("7707083893"));
    r.setFnNumber(QStringLiteral("9999078900001234"));
    r.taxSystems = tax;
    r.workModes = modes;
    r.closed = closed;
    return r;
}

// The tab shown on screen, so that its views open editors and take clicks.
template<typename Tab>
struct ShownTab
{
    ShownTab() { show(&tab, QSize(900, 500)); }
    QTableView *view(const char *name) { return child<QTableView>(&tab, name); }
    QAbstractItemModel *model(const char *name) { return view(name)->model(); }

    Tab tab;
    DeviceParams52 params;
};

}

class TestTabs52 : public QObject
{
    Q_OBJECT

private slots:
    void usersListedWithoutTheHiddenOne()
    {
        ShownTab<UserTab52> t;
        t.tab.loadParams(&t.params);
        QAbstractItemModel *m = t.model("userView");
        QCOMPARE(m->columnCount(), 5);
        QCOMPARE(m->rowCount(), 8);
        QStringList headers;
        for (int c = 0; c < 5; ++c)
            headers << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(headers, QStringList({QStringLiteral("Имя"), QStringLiteral("Права"),
                                       QStringLiteral("Штрихкод"), QStringLiteral("Должность"),
                                       QStringLiteral("Акт.")}));
        for (int r = 0; r < m->rowCount(); ++r)
            QVERIFY(m->index(r, 0).data().toString() != QStringLiteral("АСЦ"));
        QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("3000001000037"));
        QCOMPARE(m->index(7, 2).data().toString(), QStringLiteral("300029189060"));
        QCOMPARE(m->index(4, 1).data().toString(), QStringLiteral("Ст.кассир"));
        QCOMPARE(m->index(6, 1).data().toString(), QStringLiteral("Администратор"));
        QCOMPARE(m->index(6, 3).data().toString(), QStringLiteral("Кассир"));
        QCOMPARE(m->index(6, 4).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(m->index(5, 4).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable, Qt::ItemFlags());
        QVERIFY(m->flags(m->index(0, 4)) & Qt::ItemIsUserCheckable);

        // Storing untouched rows gives back the very same users area.
        QByteArray before, system;
        t.params.save(before, system);
        t.tab.storeParams(&t.params);
        QByteArray after;
        t.params.save(after, system);
        QCOMPARE(after.toHex(), before.toHex());
    }

    void hiddenUserLeftAlone()
    {
        ShownTab<UserTab52> t;
        UserRecord52 &asc = t.params.users()[8];
        asc.flags = 0x00F8;  // hidden, plus bits no page knows
        asc.kept25 = 0x11223344;
        const QByteArray ascBefore = asc.encode();
        UserRecord52 &second = t.params.users()[1];
        second.flags = 0x0103;
        second.kept25 = -5;
        t.tab.loadParams(&t.params);
        QCOMPARE(t.model("userView")->rowCount(), 8);

        clickCell(t.view("userView"), t.model("userView")->index(1, 4));
        QCOMPARE(t.model("userView")->index(1, 4).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        t.tab.storeParams(&t.params);
        QCOMPARE(t.params.users()[8].encode().toHex(), ascBefore.toHex());
        QCOMPARE(int(second.flags), 0x0107);
        QCOMPARE(second.kept25, -5);
        QCOMPARE(int(second.number), 2);
    }

    void barcodeStoredPackedFromTwelveDigits()
    {
        ShownTab<UserTab52> t;
        t.tab.loadParams(&t.params);
        QTableView *view = t.view("userView");
        QAbstractItemModel *m = view->model();
        // 4006381333931 is a real EAN-13; a mistyped last digit must not survive.
        QVERIFY(typeInto(view, m->index(2, 2), QStringLiteral("4006381333937")));
        QCOMPARE(m->index(2, 2).data().toString(), QStringLiteral("4006381333937"));
        t.tab.storeParams(&t.params);
        QCOMPARE(t.params.users()[2].barcodeField().toHex(), QByteArray("400638133393"));
        t.tab.loadParams(&t.params);
        QCOMPARE(m->index(2, 2).data().toString(), QStringLiteral("4006381333931"));
    }

    void unchangedOddBarcodeKeepsItsDigits()
    {
        ShownTab<UserTab52> t;
        const QByteArray packed = t.params.users()[7].barcodeField();
        QCOMPARE(packed.toHex(), QByteArray("f30002918906"));
        t.tab.loadParams(&t.params);
        t.tab.storeParams(&t.params);
        // Shown with a check digit, the eleven stored digits must not become twelve.
        QCOMPARE(t.params.users()[7].barcodeField().toHex(), packed.toHex());
    }

    void nameAndPositionEdited()
    {
        ShownTab<UserTab52> t;
        t.params.setPositionName(2, QStringLiteral("Мл.менеджер"));
        t.tab.loadParams(&t.params);
        QTableView *view = t.view("userView");
        QAbstractItemModel *m = view->model();
        QVERIFY(typeInto(view, m->index(0, 0), QStringLiteral("Иванова Мария Петровна")));
        QVERIFY(choose(view, m->index(0, 3), 2));
        QCOMPARE(m->index(0, 3).data().toString(), QStringLiteral("Мл.менеджер"));
        t.tab.storeParams(&t.params);
        const UserRecord52 &u = t.params.users()[0];
        QCOMPARE(u.name(), QStringLiteral("Иванова Мария "));  // 14 bytes in Windows-1251
        QCOMPARE(int(u.position), 3);
        QCOMPARE(int(u.rights), 1);
        QCOMPARE(u.kept25, qint32(1029384756));
    }

    void organisationTexts()
    {
        OrgTab52 tab;
        DeviceParams52 params;
        params.org().setInn(QStringLiteral("7707083893"));
        params.org().setName(QStringLiteral("ООО Ромашка"));
        tab.loadParams(&params);
        auto *inn = child<QLineEdit>(&tab, "orgInnEdit");
        auto *name = child<QLineEdit>(&tab, "orgNameEdit");
        auto *address = child<QLineEdit>(&tab, "orgAddressEdit");
        QCOMPARE(inn->text(), QStringLiteral("7707083893"));
        QCOMPARE(name->text(), QStringLiteral("ООО Ромашка"));
        QCOMPARE(inn->maxLength(), 12);
        QCOMPARE(address->maxLength(), 110);

        retype(inn, QStringLiteral("500100732259999"));
        retype(address, QString(120, QChar(0x0416)));  // Ж
        tab.storeParams(&params);
        QCOMPARE(params.org().inn(), QStringLiteral("500100732259"));
        QCOMPARE(params.org().address(), QString(110, QChar(0x0416)));
        QByteArray image, system;
        params.save(image, system);
        QCOMPARE(image.mid(256, 12), QByteArray("500100732259"));
        QCOMPARE(image.mid(256 + 136, 110), QByteArray(110, char(0xC6)));
    }

    void ofdZeroInnShownAsTwelveZeros()
    {
        OfdTab52 tab;
        DeviceParams52 params;
        QCOMPARE(params.ofd().innField(), QByteArray(6, '\0'));
        tab.loadParams(&params);
        QCOMPARE(child<QLineEdit>(&tab, "ofdInnEdit")->text(), QStringLiteral("000000000000"));
        QCOMPARE(child<QLineEdit>(&tab, "ofdPortEdit")->text(), QStringLiteral("0"));
        QCOMPARE(child<QSpinBox>(&tab, "connectTimerSpin")->value(), 30);
        tab.storeParams(&params);
        QCOMPARE(params.ofd().innField(), QByteArray(6, '\0'));
    }

    void ofdFieldsStored()
    {
        OfdTab52 tab;
        DeviceParams52 params;
        tab.loadParams(&params);
        auto *port = child<QLineEdit>(&tab, "ofdPortEdit");
        retype(port, QStringLiteral("123456"));
        QCOMPARE(port->text(), QStringLiteral("12345"));
        // Five digits beyond the port range pass the validator as unfinished
        // input; they must not wrap round into some other port.
        retype(port, QStringLiteral("70000"));
        QVERIFY(!port->hasAcceptableInput());
        tab.storeParams(&params);
        QCOMPARE(int(params.ofd().port), 0);
        retype(port, QStringLiteral("21101"));
        retype(child<QLineEdit>(&tab, "ofdAddressEdit"), QStringLiteral("k-server.1-ofd.ru"));
        retype(child<QLineEdit>(&tab, "ofdSiteEdit"), QStringLiteral("www.1-ofd.ru"));
        retype(child<QLineEdit>(&tab, "ofdInnEdit"), QStringLiteral("7709364346"));
        auto *poll = child<QSpinBox>(&tab, "pollTimerSpin");
        auto *connect = child<QSpinBox>(&tab, "connectTimerSpin");
        QCOMPARE(poll->minimum(), 3);
        QCOMPARE(connect->maximum(), 3600);
        QCOMPARE(poll->suffix(), QStringLiteral(" с"));
        poll->setValue(45);
        connect->setValue(120);
        tab.storeParams(&params);

        const QByteArray block = params.ofd().encode();
        QCOMPARE(block.mid(64, 6).toHex(), QByteArray("6d527800" "2d00"));
        QCOMPARE(block.left(17), QByteArray("k-server.1-ofd.ru"));
        QCOMPARE(block.mid(70, 12), QByteArray("www.1-ofd.ru"));
        QCOMPARE(block.mid(134, 6).toHex(), QByteArray("ff7709364346"));
        tab.loadParams(&params);
        QCOMPARE(child<QLineEdit>(&tab, "ofdInnEdit")->text(), QStringLiteral("7709364346"));

        retype(port, QString());
        tab.storeParams(&params);
        QCOMPARE(int(params.ofd().port), 0);
    }

    void registrationHistoryShown()
    {
        ShownTab<RegistrationTab52> t;
        t.params.history() << historyRecord(5, 0x05, 0x00, 0) << historyRecord(6, 0x00, 0x29, 1);
        t.tab.loadParams(&t.params);
        QAbstractItemModel *m = t.model("registrationView");
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->columnCount(), 7);
        QStringList headers;
        for (int c = 0; c < 7; ++c)
            headers << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(headers, QStringList({QStringLiteral("Дата регистрации"), QStringLiteral("Рег. номер ККТ"),
                                       QStringLiteral("ИНН организации"), QStringLiteral("Рег. номер ФН"),
                                       QStringLiteral("СНО"), QStringLiteral("Режимы работы"),
                                       QStringLiteral("Закрыто")}));
        QCOMPARE(m->headerData(0, Qt::Vertical, Qt::DisplayRole).toInt(), 1);
        QCOMPARE(m->headerData(1, Qt::Vertical, Qt::DisplayRole).toInt(), 2);
        QCOMPARE(m->index(0, 0).data().toDateTime(), QDateTime(QDate(2019, 3, 5), QTime(14, 35)));
        QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("0001234567890005"));
        QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("7707083893"));
        QCOMPARE(m->index(0, 3).data().toString(), QStringLiteral("9999078900001234"));
        QCOMPARE(m->index(0, 4).data().toString(), QStringLiteral("ОБЩАЯ;УПР.ДОХОД-РАСХОД"));
        QCOMPARE(m->index(0, 5).data().toString(), QStringLiteral("-"));
        QCOMPARE(m->index(1, 4).data().toString(), QStringLiteral("НЕТ"));
        QCOMPARE(m->index(1, 5).data().toString(),
                 QStringLiteral("ШИФРОВАНИЕ;ПРИМ.В СФЕРЕ УСЛУГ;ПРИМЕН. В ИНТЕРНЕТ"));
        QCOMPARE(m->index(0, 4).data(Qt::EditRole).toInt(), 5);
        QCOMPARE(m->index(0, 6).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(m->index(1, 6).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void closingARowStoresOne()
    {
        ShownTab<RegistrationTab52> t;
        t.params.history() << historyRecord(5, 0x05, 0x00, 0) << historyRecord(6, 0x01, 0x02, 0);
        t.tab.loadParams(&t.params);
        QTableView *view = t.view("registrationView");
        // The cell is editable, not user-checkable: a click only selects it,
        // the check box editor changes it.
        clickCell(view, view->model()->index(1, 6));
        QCOMPARE(view->model()->index(1, 6).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(toggleInEditor(view, view->model()->index(1, 6)));
        QCOMPARE(view->model()->index(1, 6).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(typeInto(view, view->model()->index(0, 3), QStringLiteral("8710000100012345")));
        t.tab.storeParams(&t.params);
        QCOMPARE(int(t.params.history()[1].closed), 1);
        QCOMPARE(int(t.params.history()[0].closed), 0);
        QCOMPARE(t.params.history()[0].fnNumber(), QStringLiteral("8710000100012345"));

        QByteArray image, system;
        t.params.save(image, system);
        QCOMPARE(system.size(), 1024);
        QCOMPARE(int(quint8(system.at(64 + 59))), 1);
        QCOMPARE(int(quint8(system.at(64))), 0xC1);
        QCOMPARE(int(quint8(system.at(64 + 1))), 6);
        QCOMPARE(int(quint8(system.at(64 + 3))), 19);
        char x = 0;
        for (int i = 64; i < 127; ++i)
            x ^= system.at(i);
        QCOMPARE(int(quint8(system.at(127))), int(quint8(x)));
        QCOMPARE(system.mid(128), QByteArray(1024 - 128, '\0'));
    }

    void addedRowGetsAUsedRecord()
    {
        ShownTab<RegistrationTab52> t;
        t.params.history() << historyRecord(5, 0x05, 0x00, 0);
        t.tab.loadParams(&t.params);
        QTableView *view = t.view("registrationView");
        QAbstractItemModel *m = view->model();
        QVERIFY(m->insertRows(1, 1));
        QCOMPARE(m->headerData(1, Qt::Vertical, Qt::DisplayRole).toInt(), 2);
        QVERIFY(typeInto(view, m->index(1, 1), QStringLiteral("0009876543210001")));
        t.tab.storeParams(&t.params);
        QCOMPARE(t.params.history().size(), 2);

        QByteArray image, system;
        t.params.save(image, system);
        DeviceParams52 reread;
        reread.load(QString(), image, system);
        QCOMPARE(reread.history().size(), 2);
        QCOMPARE(reread.history()[1].regNumber(), QStringLiteral("0009876543210001"));

        QVERIFY(m->removeRows(0, 1));
        t.tab.storeParams(&t.params);
        QCOMPARE(t.params.history().size(), 1);
        QCOMPARE(t.params.history()[0].regNumber(), QStringLiteral("0009876543210001"));
    }
};

QTEST_MAIN(TestTabs52)
#include "tst_tabs52.moc"
