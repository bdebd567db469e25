#include "editor/ofdtab53.h"
#include "editor/orgtab53.h"
#include "editor/registrationtab53.h"
#include "editor/usertab53.h"
#include "editor/usertablemodel53.h"
#include "params/deviceparams53.h"
#include "tests/support/widgets/scripteddialogs.h"
#include "tests/support/widgets/windowdriver.h"
#include "widgets/deviceissue.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/issuelistmodel.h"
#include "widgets/validationcontext.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTextCharFormat>
#include <QtTest>

#include <memory>

using namespace WindowDriver;

namespace {

const QString kOrgInn = QStringLiteral("7707083893");

// Runs one tab's check the way the window does and returns what it listed.
struct CheckRun
{
    QTabWidget tabs;
    DeviceIssueWidget dock{&tabs};

    QStringList run(DeviceWidget *tab, const ValidationContext &context)
    {
        dock.model()->clear();
        tab->validate(&dock, &context);
        QStringList texts;
        for (int i = 0; i < dock.model()->rowCount(); ++i)
            texts << dock.model()->issue(i)->text;
        return texts;
    }

    QWidget *control(int row) const
    {
        auto issue = dock.model()->issue(row).dynamicCast<DeviceIssue>();
        return issue ? issue->control.data() : nullptr;
    }
};

// Records the input-method events a line edit receives.
class InputMethodSpy : public QObject
{
public:
    QList<QList<QInputMethodEvent::Attribute>> events;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::InputMethod)
            events.append(static_cast<QInputMethodEvent *>(event)->attributes());
        return false;
    }
};

}

class TestTabs53 : public QObject
{
    Q_OBJECT

private slots:
    void usersHiddenAreNotListedAndRowsWriteBackToTheirRecords()
    {
        DeviceParams53 set;
        set.users()[2].flags |= UserRecord53::HiddenFlag;
        set.users()[4].flags |= UserRecord53::HiddenFlag | 0x4000;
        set.users()[3].flags |= 0x0100;
        const QVector<UserRecord53> before = set.users();

        UserTab53 tab;
        tab.show();
        tab.loadParams(&set);
        auto *view = child<QTableView>(&tab, "userView");
        QAbstractItemModel *model = view->model();
        QCOMPARE(model->rowCount(), 14);
        QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("Кассир 4"));
        QCOMPARE(model->index(3, 0).data().toString(), QStringLiteral("Кассир 6"));

        QVERIFY(typeInto(view, model->index(2, 0), QStringLiteral("Петров")));
        QVERIFY(typeInto(view, model->index(2, 3), QStringLiteral("500100732259")));
        QVERIFY(choose(view, model->index(2, 6), QStringLiteral("Директор")));
        clickCell(view, model->index(2, 7));
        QCOMPARE(model->index(2, 7).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        tab.storeParams(&set);

        const UserRecord53 &edited = set.users().at(3);
        QCOMPARE(edited.name(), QStringLiteral("Петров"));
        QCOMPARE(edited.inn(), QStringLiteral("500100732259"));
        QCOMPARE(int(edited.position), 7);
        QCOMPARE(edited.flags, quint16(before.at(3).flags | UserRecord53::ActiveFlag));
        QCOMPARE(edited.password(), before.at(3).password());
        QCOMPARE(edited.rights, before.at(3).rights);
        for (int i : {2, 4})
            QCOMPARE(set.users().at(i).encode(), before.at(i).encode());
        for (int i = 0; i < 16; ++i) {
            if (i != 3)
                QCOMPARE(set.users().at(i).encode(), before.at(i).encode());
        }
    }

    void userColumns()
    {
        DeviceParams53 set;
        set.users()[0].rights = 0;
        set.users()[0].position = 0;
        set.users()[1].rights = 4;
        set.users()[1].position = 8;
        set.setPositionName(7, QStringLiteral("Охранник"));
        UserTab53 tab;
        tab.show();
        tab.loadParams(&set);
        auto *view = child<QTableView>(&tab, "userView");
        QAbstractItemModel *model = view->model();
        QStringList headers;
        for (int c = 0; c < model->columnCount(); ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{QStringLiteral("Имя"), QStringLiteral("Права"), QStringLiteral("Штрихкод"),
                                       QStringLiteral("ИНН"), QStringLiteral("Полное имя"), QStringLiteral("Пароль"),
                                       QStringLiteral("Должность"), QStringLiteral("Акт.")}));
        QVERIFY(model->index(0, 1).data().toString().isEmpty());
        QVERIFY(model->index(0, 6).data().toString().isEmpty());
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("Техник"));
        QCOMPARE(model->index(1, 6).data().toString(), QStringLiteral("Охранник"));
        QCOMPARE(model->index(1, 6).data(Qt::EditRole).toInt(), 8);
        QCOMPARE(model->index(14, 1).data().toString(), QStringLiteral("Администратор"));
        QCOMPARE(model->index(14, 7).data().toInt(), int(Qt::Checked));
        QCOMPARE(model->index(13, 7).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(model->index(14, 5).data().toString(), QStringLiteral("738"));

        QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(!(model->flags(model->index(0, 5)) & Qt::ItemIsEditable));
        QVERIFY(model->flags(model->index(0, 7)) & Qt::ItemIsUserCheckable);
        QVERIFY(!model->setData(model->index(0, 5), QStringLiteral("111111")));
        QVERIFY(!model->setData(model->index(0, 1), 2));

        // An emptied name is refused; a long one stops at fourteen characters.
        QVERIFY(typeInto(view, model->index(3, 0), QString()));
        QCOMPARE(model->index(3, 0).data().toString(), QStringLiteral("Кассир 4"));
        QVERIFY(typeInto(view, model->index(3, 0), QStringLiteral("Константинопольский")));
        QCOMPARE(model->index(3, 0).data().toString(), QStringLiteral("Константинопо"
                                                                       "л"));
    }

    void userChecks()
    {
        DeviceParams53 set;
        set.users()[5].setBarcode(QStringLiteral("3000001000083"));
        set.users()[6].setInn(QStringLiteral("7707083894"));
        set.users()[7].setBarcode(QString());
        set.users()[7].setInn(QString());
        UserTab53 tab;
        tab.loadParams(&set);
        CheckRun check;
        ValidationContext context;

        context.defaultCashier = 14;  // "Админ. 1", active
        QCOMPARE(check.run(&tab, context),
                 (QStringList{QStringLiteral("Штрихкод пользователя Кассир 6 содержит некорректное значение 3000001000083"),
                              QStringLiteral("ИНН пользователя Кассир 7 содержит некорректное значение 7707083894")}));
        QCOMPARE(check.control(0), tab.findChild<QTableView *>(QStringLiteral("userView")));

        context.defaultCashier = 9;
        const QStringList issues = check.run(&tab, context);
        QCOMPARE(issues.size(), 3);
        QCOMPARE(issues.first(), QStringLiteral("Пользователь по умолчанию (Кассир 10) не активен"));

        // A hidden default cashier is not in the table, so it is not reported.
        set.users()[9].flags |= UserRecord53::HiddenFlag;
        tab.loadParams(&set);
        QCOMPARE(check.run(&tab, context).size(), 2);
    }

    void organisationChecks()
    {
        DeviceParams53 set;
        OrgTab53 tab;
        tab.loadParams(&set);
        CheckRun check;
        ValidationContext context;
        QCOMPARE(check.run(&tab, context),
                 (QStringList{QStringLiteral("ИНН организации не задан"),
                              QStringLiteral("Наименование организации не задано"),
                              QStringLiteral("Адрес организации не задан"),
                              QStringLiteral("Место расчета не задано")}));
        QCOMPARE(check.control(0), child<QLineEdit>(&tab, "orgInnEdit"));
        QCOMPARE(check.control(3), child<QLineEdit>(&tab, "orgPlaceEdit"));

        retype(child<QLineEdit>(&tab, "orgInnEdit"), QStringLiteral("7707083894"));
        child<QLineEdit>(&tab, "orgNameEdit")->setText(QStringLiteral("\t"));
        retype(child<QLineEdit>(&tab, "orgAddressEdit"), QStringLiteral("Тула"));
        retype(child<QLineEdit>(&tab, "orgPlaceEdit"), QStringLiteral("Магазин"));
        QCOMPARE(check.run(&tab, context),
                 QStringList{QStringLiteral("ИНН организации содержит некорректное значение: 7707083894")});

        context.ofdUsed = true;
        QCOMPARE(check.run(&tab, context).last(), QStringLiteral("Адрес электронной почты не задан"));
        QCOMPARE(check.control(1), child<QLineEdit>(&tab, "orgEmailEdit"));

        tab.prepareValidation(&context);
        QCOMPARE(context.orgInn, QStringLiteral("7707083894"));
        tab.storeParams(&set);
        QCOMPARE(set.org().name(), QStringLiteral(" "));
        QCOMPARE(set.org().inn(), QStringLiteral("7707083894"));
        QCOMPARE(set.org().address(), QStringLiteral("Тула"));
    }

    void organisationStoresFilteredTextsAndKeepsLimits()
    {
        DeviceParams53 set;
        set.org().setName(QString(240, QLatin1Char('n')));
        OrgTab53 tab;
        tab.loadParams(&set);
        auto *inn = child<QLineEdit>(&tab, "orgInnEdit");
        QCOMPARE(inn->maxLength(), 12);
        QCOMPARE(child<QLineEdit>(&tab, "orgNameEdit")->maxLength(), 240);
        QCOMPARE(child<QLineEdit>(&tab, "orgEmailEdit")->maxLength(), 64);
        QCOMPARE(child<QLineEdit>(&tab, "orgNameEdit")->text().size(), 240);
        child<QLineEdit>(&tab, "orgPlaceEdit")->setText(QStringLiteral("Зал\x01№2\n"));
        child<QLineEdit>(&tab, "orgEmailEdit")->setText(QStringLiteral("a\tb@c"));
        tab.storeParams(&set);
        QCOMPARE(set.org().place(), QStringLiteral("Зал №2 "));
        QCOMPARE(set.org().email(), QStringLiteral("a\tb@c"));
        QCOMPARE(set.org().name(), QString(240, QLatin1Char('n')));
    }

    void organisationTextShadedInRuns()
    {
        OrgTab53 tab;
        auto *address = child<QLineEdit>(&tab, "orgAddressEdit");
        auto *inn = child<QLineEdit>(&tab, "orgInnEdit");
        InputMethodSpy spy;
        address->installEventFilter(&spy);
        inn->installEventFilter(&spy);

        QTest::keyClicks(inn, "7707083893");
        QVERIFY(spy.events.isEmpty());

        const QString text = QString(50, QLatin1Char('a'));
        address->setText(text);
        address->setCursorPosition(10);
        spy.events.clear();
        QTest::keyClick(address, Qt::Key_End);
        QTest::keyClick(address, Qt::Key_Backspace);
        QTest::keyClick(address, 'z');
        QCOMPARE(address->text(), QString(49, QLatin1Char('a')) + QLatin1Char('z'));
        QCOMPARE(address->cursorPosition(), 50);
        QVERIFY(!spy.events.isEmpty());
        const QList<QInputMethodEvent::Attribute> runs = spy.events.last();
        QCOMPARE(runs.size(), 3);
        const QColor grey(224, 224, 224);
        const QColor white(Qt::white);
        for (int k = 0; k < runs.size(); ++k) {
            QCOMPARE(runs.at(k).type, QInputMethodEvent::TextFormat);
            QCOMPARE(runs.at(k).start, k * 24 - 50);
            QCOMPARE(runs.at(k).length, 24);
            const QTextCharFormat format = runs.at(k).value.value<QTextFormat>().toCharFormat();
            QCOMPARE(format.background().color(), k % 2 ? grey : white);
        }

        // Emptying the text sends no shading.
        spy.events.clear();
        address->clear();
        QVERIFY(spy.events.isEmpty());
    }

    void ofdLimitsAndClamping()
    {
        DeviceParams53 set;
        set.ofd().port = 65535;
        OfdTab53 tab;
        tab.loadParams(&set);
        auto *connect = child<QSpinBox>(&tab, "ofdConnectTimerSpin");
        auto *poll = child<QSpinBox>(&tab, "ofdPollTimerSpin");
        auto *port = child<QSpinBox>(&tab, "ofdPortSpin");
        QCOMPARE(connect->value(), 40);
        QCOMPARE(poll->value(), 30);
        QCOMPARE(port->value(), 65535);
        QCOMPARE(connect->suffix(), QStringLiteral(" с"));
        QCOMPARE(poll->minimum(), 3);
        QCOMPARE(poll->maximum(), 3600);
        QCOMPARE(connect->maximum(), 3600);
        QCOMPARE(child<QLineEdit>(&tab, "ofdAddressEdit")->maxLength(), 63);
        QCOMPARE(child<QLineEdit>(&tab, "ofdNameEdit")->maxLength(), 256);

        poll->setValue(9999);
        child<QLineEdit>(&tab, "ofdTaxSiteEdit")->setText(QStringLiteral("www.nalog.gov.ru"));
        tab.storeParams(&set);
        QCOMPARE(int(set.ofd().connectTimer), 40);
        QCOMPARE(int(set.ofd().pollTimer), 3600);
        QCOMPARE(int(set.ofd().port), 65535);
        QCOMPARE(set.ofd().taxSite(), QStringLiteral("www.nalog.gov.ru"));
        QByteArray image;
        QByteArray system;
        set.save(image, system);
        QCOMPARE(quint8(image.at(DeviceParams53::OfdOffset + 78)), quint8(0xFF));
        QCOMPARE(quint8(image.at(DeviceParams53::OfdOffset + 79)), quint8(0xFF));
        QCOMPARE(quint8(image.at(DeviceParams53::OfdOffset + 82)), quint8(3600 & 0xFF));
    }

    void ofdInnDecidesTheOfd_data()
    {
        QTest::addColumn<QString>("inn");
        QTest::addColumn<bool>("used");
        QTest::addColumn<QStringList>("innIssues");
        QTest::newRow("twelve zeros") << QStringLiteral("000000000000") << false << QStringList();
        QTest::newRow("ten zeros") << QStringLiteral("0000000000") << false
                                   << QStringList{QStringLiteral("ИНН ОФД содержит некорректное значение: 0000000000")};
        QTest::newRow("valid") << QStringLiteral("500100732259") << true << QStringList();
        QTest::newRow("empty") << QString() << false << QStringList{QStringLiteral("ИНН ОФД не задан")};
    }

    void ofdInnDecidesTheOfd()
    {
        QFETCH(QString, inn);
        QFETCH(bool, used);
        QFETCH(QStringList, innIssues);
        DeviceParams53 set;
        set.ofd().setAddress(QStringLiteral("ofd.example.org"));
        set.ofd().port = 7777;
        set.ofd().setName(QStringLiteral("ОФД"));
        set.ofd().setCheckSite(QStringLiteral("check"));
        set.ofd().setTaxSite(QStringLiteral("nalog"));
        set.ofd().setInn(inn);
        OfdTab53 tab;
        OrgTab53 org;
        tab.loadParams(&set);
        org.loadParams(&set);
        ValidationContext context;
        context.ofdUsed = !used;
        tab.prepareValidation(&context);
        QCOMPARE(context.ofdUsed, used);
        CheckRun check;
        QCOMPARE(check.run(&tab, context), innIssues);
        // The e-mail address is needed only when there is an OFD.
        QCOMPARE(check.run(&org, context).contains(QStringLiteral("Адрес электронной почты не задан")), used);
    }

    void ofdEmptyFieldsReported()
    {
        DeviceParams53 set;
        set.ofd().setInn(QStringLiteral("000000000000"));
        OfdTab53 tab;
        tab.loadParams(&set);
        CheckRun check;
        ValidationContext context;
        QCOMPARE(check.run(&tab, context),
                 (QStringList{QStringLiteral("Адрес подключения к ОФД не задан"),
                              QStringLiteral("Порт подключения к ОФД не задан"),
                              QStringLiteral("Адрес сайта ОФД не задан"),
                              QStringLiteral("Наименование ОФД не задано"),
                              QStringLiteral("Адрес сайта ФНС не задан")}));
        QCOMPARE(check.control(1), child<QSpinBox>(&tab, "ofdPortSpin"));
        QCOMPARE(check.control(2), child<QLineEdit>(&tab, "ofdCheckSiteEdit"));
        QCOMPARE(check.control(4), child<QLineEdit>(&tab, "ofdTaxSiteEdit"));
    }

    void registrationLockedUntilConfirmed_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("no") << 0;
        QTest::newRow("cancel") << 1;
        QTest::newRow("yes") << 2;
    }

    void registrationLockedUntilConfirmed()
    {
        QFETCH(int, answer);
        ScriptedDialogs dialogs;
        RegistrationTab53 tab;
        const QList<QLineEdit *> edits{child<QLineEdit>(&tab, "serialEdit"), child<QLineEdit>(&tab, "regNumberEdit"),
                                       child<QLineEdit>(&tab, "fnNumberEdit")};
        for (QLineEdit *edit : edits)
            QVERIFY(edit->isReadOnly());
        QCOMPARE(edits.at(0)->maxLength(), 20);
        QCOMPARE(edits.at(1)->maxLength(), 20);
        QCOMPARE(edits.at(2)->maxLength(), 16);
        auto *warning = child<QLabel>(&tab, "registrationWarning");
        QVERIFY(warning->wordWrap());
        QCOMPARE(warning->styleSheet(), QStringLiteral("QLabel { font-size: 12pt; color: red; }"));
        QVERIFY(warning->text().startsWith(QStringLiteral("Редактирование данных на этой странице")));

        if (answer == 0)
            dialogs.answerNo();
        else if (answer == 1)
            dialogs.answerCancel();
        else
            dialogs.answerYes();
        auto *button = child<QPushButton>(&tab, "unblockButton");
        QCOMPARE(button->text(), QStringLiteral("Разблокировать"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.last().kind, DialogRequest::Question);
        QCOMPARE(dialogs.last().title, QStringLiteral("Разблокировка регистрационных данных"));
        QCOMPARE(dialogs.last().text, QStringLiteral("Вы уверены, что хотите редактировать регистрационные данные?"));
        for (QLineEdit *edit : edits)
            QCOMPARE(edit->isReadOnly(), answer != 2);

        // Typing goes through only when unlocked.
        QTest::keyClicks(edits.at(2), "123");
        QCOMPARE(edits.at(2)->text(), answer == 2 ? QStringLiteral("123") : QString());
    }

    void registrationChecksTheNumber()
    {
        DeviceParams53 set;
        set.registration().setSerial(QStringLiteral("2530000001"));
        set.registration().setRegNumber(QStringLiteral("0000000001008405"));
        set.registration().setFnNumber(QStringLiteral("9999078900001234"));
        RegistrationTab53 tab;
        tab.loadParams(&set);
        CheckRun check;
        ValidationContext context;
        QVERIFY(check.run(&tab, context).isEmpty());
        context.orgInn = kOrgInn;
        QVERIFY(check.run(&tab, context).isEmpty());

        child<QLineEdit>(&tab, "regNumberEdit")->setText(QStringLiteral("0000000001008406"));
        QCOMPARE(check.run(&tab, context),
                 QStringList{QStringLiteral("Регистрационный номер содержит некорректное значение")});
        QCOMPARE(check.control(0), child<QLineEdit>(&tab, "regNumberEdit"));

        child<QLineEdit>(&tab, "regNumberEdit")->clear();
        QCOMPARE(check.run(&tab, context), QStringList{QStringLiteral("Регистрационный номер не установлен")});
        child<QLineEdit>(&tab, "fnNumberEdit")->clear();
        child<QLineEdit>(&tab, "serialEdit")->clear();
        QCOMPARE(check.run(&tab, context), QStringList{QStringLiteral("Заводской номер не установлен")});
        QCOMPARE(check.control(0), child<QLineEdit>(&tab, "serialEdit"));

        child<QLineEdit>(&tab, "serialEdit")->setText(QStringLiteral("2530000002"));
        child<QLineEdit>(&tab, "fnNumberEdit")->setText(QStringLiteral("99990789"));
        tab.storeParams(&set);
        QCOMPARE(set.registration().serial(), QStringLiteral("2530000002"));
        QCOMPARE(set.registration().regNumber(), QString());
        QCOMPARE(set.registration().fnNumber(), QStringLiteral("99990789"));
    }
};

QTEST_MAIN(TestTabs53)
#include "tst_tabs53.moc"
