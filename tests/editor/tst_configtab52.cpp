#include "editor/configtab52.h"
#include "params/deviceparams52.h"
#include "tests/support/widgets/windowdriver.h"
#include "widgets/validationcontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include <memory>

class TestConfigTab52 : public QObject
{
    Q_OBJECT

private:
    template<typename T>
    T *child(const char *name)
    {
        return WindowDriver::child<T>(m_tab.get(), name);
    }

    void click(const char *checkBox) { QTest::keyClick(child<QCheckBox>(checkBox), Qt::Key_Space); }

    std::unique_ptr<ConfigTab52> m_tab;

private slots:
    void init() { m_tab = std::make_unique<ConfigTab52>(); }
    void cleanup() { m_tab.reset(); }

    void onlyTheSharedGroups()
    {
        QStringList titles;
        for (const QGroupBox *group : m_tab->findChildren<QGroupBox *>())
            titles << group->title();
        titles.sort();
        QCOMPARE(titles, QStringList({QStringLiteral("Дисплей"), QStringLiteral("Клавиатура"),
                                      QStringLiteral("Отделы"), QStringLiteral("Печать"),
                                      QStringLiteral("Принтер"), QStringLiteral("Сканер штрихкодов"),
                                      QStringLiteral("Торговля")}));
        QVERIFY(!m_tab->findChild<QCheckBox *>(QStringLiteral("saleCheck")));
        QVERIFY(!m_tab->findChild<QCheckBox *>(QStringLiteral("payCashCheck")));
        auto *density = child<QSpinBox>("printDensitySpin");
        QCOMPARE(density->minimum(), 1);
        QCOMPARE(density->maximum(), 4);
    }

    void defaultsShownAndStoredUnchanged()
    {
        DeviceParams52 params;
        m_tab->loadParams(&params);
        auto *cashier = child<QComboBox>("defaultCashierCombo");
        // The hidden service user is a choice too: the index is the record number.
        QCOMPARE(cashier->count(), 9);
        QCOMPARE(cashier->itemText(8), QStringLiteral("АСЦ"));
        QCOMPARE(cashier->currentText(), QStringLiteral("Админ. 1"));
        QCOMPARE(child<QComboBox>("defaultDeptCombo")->count(), 16);
        QCOMPARE(child<QSpinBox>("printDensitySpin")->value(), 2);
        QCOMPARE(child<QLineEdit>("maxPriceEdit")->text(), QStringLiteral("50000.00"));
        QCOMPARE(child<QLineEdit>("maxQuantityEdit")->text(), QStringLiteral("1000.000"));
        QVERIFY(child<QCheckBox>("autoCollectionCheck")->isChecked());
        QVERIFY(!child<QCheckBox>("printHeaderCheck")->isChecked());
        QVERIFY(child<QCheckBox>("printFooterCheck")->isChecked());

        const QByteArray before = params.config().encode();
        m_tab->storeParams(&params);
        QCOMPARE(params.config().encode().toHex(), before.toHex());
    }

    void wholeWordsWritten()
    {
        DeviceParams52 params;
        ConfigBlock52 &c = params.config();
        c.printFlags = 0x00FF;
        c.smallFont = 0x03;
        c.tradeFlags = 0x40000103u;
        m_tab->loadParams(&params);
        QVERIFY(child<QCheckBox>("printHeaderCheck")->isChecked());
        QVERIFY(child<QCheckBox>("printFooterCheck")->isChecked());
        QVERIFY(child<QCheckBox>("printTaxesCheck")->isChecked());
        QVERIFY(child<QCheckBox>("printQrCheck")->isChecked());
        QVERIFY(child<QCheckBox>("smallFontCheck")->isChecked());
        QVERIFY(child<QCheckBox>("autoCollectionCheck")->isChecked());
        QVERIFY(child<QCheckBox>("priceEditingCheck")->isChecked());

        m_tab->storeParams(&params);
        QCOMPARE(int(c.printFlags), 0x000F);
        QCOMPARE(int(c.smallFont), 1);
        QCOMPARE(c.tradeFlags, 0x00000003u);

        click("printTaxesCheck");
        click("smallFontCheck");
        click("autoCollectionCheck");
        m_tab->storeParams(&params);
        QCOMPARE(int(c.printFlags), 0x000B);
        QCOMPARE(int(c.smallFont), 0);
        QCOMPARE(c.tradeFlags, 0x00000002u);
        QCOMPARE(c.encode().mid(42, 2).toHex(), QByteArray("0b00"));
    }

    void defaultCashierFromTheLowByte()
    {
        DeviceParams52 params;
        params.config().defaultCashier = 0x0107;
        m_tab->loadParams(&params);
        auto *cashier = child<QComboBox>("defaultCashierCombo");
        QCOMPARE(cashier->currentIndex(), 6);
        QCOMPARE(cashier->currentText(), QStringLiteral("Админ. 1"));

        m_tab->storeParams(&params);
        QCOMPARE(int(params.config().defaultCashier), 7);
        QCOMPARE(params.config().encode().mid(80, 2).toHex(), QByteArray("0700"));

        cashier->setCurrentIndex(1);
        m_tab->storeParams(&params);
        QCOMPARE(params.config().encode().mid(80, 2).toHex(), QByteArray("0200"));
    }

    void editsReachTheBlockAndKeptFieldsStay()
    {
        DeviceParams52 params;
        ConfigBlock52 &c = params.config();
        c.kept0 = 0x0BADF00D;
        c.kept16 = QByteArrayLiteral("\x01\x02\x03\x04");
        c.kept82 = 0x7E5A;
        c.deptCount = 10;
        c.defaultDept = 5;
        c.printDensity = 4;
        m_tab->loadParams(&params);
        QCOMPARE(child<QSpinBox>("printDensitySpin")->value(), 4);
        QCOMPARE(child<QComboBox>("defaultDeptCombo")->currentIndex(), 4);

        auto *count = child<QSpinBox>("deptCountSpin");
        count->selectAll();
        QTest::keyClicks(count, QStringLiteral("3"));
        QCOMPARE(child<QComboBox>("defaultDeptCombo")->currentIndex(), 0);

        auto *price = child<QLineEdit>("maxPriceEdit");
        price->selectAll();
        QTest::keyClicks(price, QStringLiteral("123.45"));
        auto *prefix = child<QLineEdit>("weightPrefixEdit");
        prefix->clear();
        auto *density = child<QSpinBox>("printDensitySpin");
        density->selectAll();
        QTest::keyClicks(density, QStringLiteral("0"));  // below the range: refused
        m_tab->storeParams(&params);

        QCOMPARE(int(c.deptCount), 3);
        QCOMPARE(int(c.defaultDept), 1);
        QCOMPARE(c.maxPrice, qint64(1234500));
        QCOMPARE(int(c.weightPrefix), 0);
        QVERIFY(c.printDensity >= 1 && c.printDensity <= 4);
        QCOMPARE(c.kept0, qint32(0x0BADF00D));
        QCOMPARE(c.kept16, QByteArrayLiteral("\x01\x02\x03\x04"));
        QCOMPARE(int(c.kept82), 0x7E5A);
    }

    void noValidationContribution()
    {
        DeviceParams52 params;
        m_tab->loadParams(&params);
        ValidationContext context;
        context.defaultCashier = -7;
        m_tab->prepareValidation(&context);
        QCOMPARE(context.defaultCashier, -7);
    }
};

QTEST_MAIN(TestConfigTab52)
#include "tst_configtab52.moc"
