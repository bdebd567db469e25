#include "editor/configtab53.h"
#include "params/deviceparams53.h"
#include "tests/support/widgets/windowdriver.h"
#include "widgets/validationcontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QtTest>

#include <memory>

using WindowDriver::retype;

namespace {

bool itemEnabled(QComboBox *combo, int row)
{
    auto *model = qobject_cast<QStandardItemModel *>(combo->model());
    return model && model->item(row) && model->item(row)->isEnabled();
}

}

class TestConfigTab53 : public QObject
{
    Q_OBJECT

private:
    template<typename T>
    T *child(const char *name)
    {
        return WindowDriver::child<T>(m_tab.get(), name);
    }

    // Types `text` into a money field of a freshly loaded default set and stores.
    qint64 storeTyped(const char *field, const QString &text, qint64 ConfigBlock53::*member)
    {
        DeviceParams53 params;
        m_tab->loadParams(&params);
        retype(child<QLineEdit>(field), text);
        m_tab->storeParams(&params);
        return params.config().*member;
    }

    std::unique_ptr<ConfigTab53> m_tab;

private slots:
    void init() { m_tab = std::make_unique<ConfigTab53>(); }
    void cleanup() { m_tab.reset(); }

    void defaultsShownAndStoredUnchanged()
    {
        DeviceParams53 params;
        m_tab->loadParams(&params);
        QCOMPARE(child<QSpinBox>("deptCountSpin")->value(), 1);
        auto *dept = child<QComboBox>("defaultDeptCombo");
        QCOMPARE(dept->count(), 16);
        QCOMPARE(dept->currentText(), QStringLiteral("Отдел 1"));
        QVERIFY(itemEnabled(dept, 0));
        QVERIFY(!itemEnabled(dept, 1));
        auto *cashier = child<QComboBox>("defaultCashierCombo");
        QCOMPARE(cashier->count(), 16);
        QCOMPARE(cashier->currentText(), QStringLiteral("Админ. 1"));
        QCOMPARE(child<QLineEdit>("maxPriceEdit")->text(), QStringLiteral("50000.00"));
        QCOMPARE(child<QLineEdit>("maxDepositEdit")->text(), QStringLiteral("50000.00"));
        QCOMPARE(child<QLineEdit>("maxQuantityEdit")->text(), QStringLiteral("1000.000"));
        QCOMPARE(child<QLineEdit>("weightPrefixEdit")->text(), QStringLiteral("21"));
        QCOMPARE(child<QComboBox>("displayModeCombo")->currentText(), QStringLiteral("Комбо"));
        QCOMPARE(child<QSpinBox>("displayTimerSpin")->text(), QStringLiteral("5 с"));
        QVERIFY(child<QCheckBox>("autoCollectionCheck")->isChecked());
        QVERIFY(!child<QCheckBox>("priceEditingCheck")->isChecked());
        QVERIFY(!child<QCheckBox>("printHeaderCheck")->isChecked());
        QVERIFY(child<QCheckBox>("printFooterCheck")->isChecked());
        QVERIFY(child<QCheckBox>("printQrCheck")->isChecked());
        QVERIFY(child<QCheckBox>("payCashCheck")->isChecked());
        QVERIFY(!child<QCheckBox>("payCreditCheck")->isChecked());
        QVERIFY(child<QCheckBox>("saleCheck")->isChecked());
        QVERIFY(!child<QCheckBox>("purchaseCheck")->isChecked());
        auto *mode = child<QComboBox>("mainModeCombo");
        QCOMPARE(mode->currentIndex(), 0);
        QVERIFY(itemEnabled(mode, 0));
        QVERIFY(!itemEnabled(mode, 1));

        const QByteArray before = params.config().encode();
        m_tab->storeParams(&params);
        QCOMPARE(params.config().encode().toHex(), before.toHex());
    }

    void loweringDeptCountMovesChoice()
    {
        DeviceParams53 params;
        params.config().deptCount = 10;
        params.config().defaultDept = 5;
        m_tab->loadParams(&params);
        auto *dept = child<QComboBox>("defaultDeptCombo");
        QCOMPARE(dept->currentIndex(), 4);
        QVERIFY(itemEnabled(dept, 9));
        QVERIFY(!itemEnabled(dept, 10));

        auto *count = child<QSpinBox>("deptCountSpin");
        count->selectAll();
        QTest::keyClicks(count, QStringLiteral("3"));
        QCOMPARE(count->value(), 3);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(itemEnabled(dept, i), i < 3);
        QCOMPARE(dept->currentIndex(), 0);

        m_tab->storeParams(&params);
        QCOMPARE(int(params.config().deptCount), 3);
        QCOMPARE(int(params.config().defaultDept), 1);
    }

    void raisingDeptCountKeepsChoice()
    {
        DeviceParams53 params;
        params.config().deptCount = 4;
        params.config().defaultDept = 2;
        m_tab->loadParams(&params);
        child<QSpinBox>("deptCountSpin")->setValue(8);
        QCOMPARE(child<QComboBox>("defaultDeptCombo")->currentIndex(), 1);
        QVERIFY(itemEnabled(child<QComboBox>("defaultDeptCombo"), 7));
    }

    void tradeModesKeepOneAllowed()
    {
        DeviceParams53 params;
        m_tab->loadParams(&params);
        auto *sale = child<QCheckBox>("saleCheck");
        auto *purchase = child<QCheckBox>("purchaseCheck");
        auto *mode = child<QComboBox>("mainModeCombo");

        QTest::mouseClick(sale, Qt::LeftButton);
        QVERIFY(!sale->isChecked());
        QVERIFY(purchase->isChecked());
        QVERIFY(!itemEnabled(mode, 0));
        QVERIFY(itemEnabled(mode, 1));
        QCOMPARE(mode->currentIndex(), 1);

        QTest::mouseClick(purchase, Qt::LeftButton);
        QVERIFY(!purchase->isChecked());
        QVERIFY(sale->isChecked());
        QVERIFY(itemEnabled(mode, 0));
        QVERIFY(!itemEnabled(mode, 1));
        QCOMPARE(mode->currentIndex(), 0);

        m_tab->storeParams(&params);
        QCOMPARE(int(params.config().tradeModes), 0x11);
    }

    void purchaseOnlyLoadsAsStored()
    {
        DeviceParams53 params;
        params.config().tradeModes = 0x22;  // purchase allowed, main mode purchase
        m_tab->loadParams(&params);
        QVERIFY(!child<QCheckBox>("saleCheck")->isChecked());
        QVERIFY(child<QCheckBox>("purchaseCheck")->isChecked());
        QCOMPARE(child<QComboBox>("mainModeCombo")->currentIndex(), 1);
        QVERIFY(!itemEnabled(child<QComboBox>("mainModeCombo"), 0));
        m_tab->storeParams(&params);
        QCOMPARE(int(params.config().tradeModes), 0x22);
    }

    void noTradeModeStoredLoadsWithSale()
    {
        DeviceParams53 params;
        params.config().tradeModes = 0x10;
        m_tab->loadParams(&params);
        QVERIFY(child<QCheckBox>("saleCheck")->isChecked());
        QVERIFY(!child<QCheckBox>("purchaseCheck")->isChecked());
        QCOMPARE(child<QComboBox>("mainModeCombo")->currentIndex(), 0);
    }

    void amountsShownCutToTheirPlaces()
    {
        DeviceParams53 params;
        params.config().maxPrice = 123456789;     // 12345.6789
        params.config().maxDeposit = 1;           // below a cent
        params.config().maxQuantity = 10000000;
        m_tab->loadParams(&params);
        QCOMPARE(child<QLineEdit>("maxPriceEdit")->text(), QStringLiteral("12345.67"));
        QCOMPARE(child<QLineEdit>("maxDepositEdit")->text(), QStringLiteral("0.00"));
        QCOMPARE(child<QLineEdit>("maxQuantityEdit")->text(), QStringLiteral("1000.000"));
    }

    void amountsStoreRoundedToTheirStep_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("stored");
        QTest::newRow("price 0.29") << QByteArray("maxPriceEdit") << "0.29" << qint64(2900);
        QTest::newRow("price 123.45") << QByteArray("maxPriceEdit") << "123.45" << qint64(1234500);
        QTest::newRow("price 4.35") << QByteArray("maxPriceEdit") << "4.35" << qint64(43500);
        QTest::newRow("price whole") << QByteArray("maxPriceEdit") << "20000000" << qint64(200000000000);
        QTest::newRow("deposit 0.29") << QByteArray("maxDepositEdit") << "0.29" << qint64(2900);
        QTest::newRow("quantity 1.001") << QByteArray("maxQuantityEdit") << "1.001" << qint64(10010);
        QTest::newRow("quantity 1.005") << QByteArray("maxQuantityEdit") << "1.005" << qint64(10050);
        QTest::newRow("quantity empty") << QByteArray("maxQuantityEdit") << "" << qint64(0);
    }

    void amountsStoreRoundedToTheirStep()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, text);
        QFETCH(qint64, stored);
        qint64 ConfigBlock53::*member = field == "maxPriceEdit" ? &ConfigBlock53::maxPrice
                : field == "maxDepositEdit"                     ? &ConfigBlock53::maxDeposit
                                                                : &ConfigBlock53::maxQuantity;
        QCOMPARE(storeTyped(field.constData(), text, member), stored);
    }

    void typedPriceSurvivesReload()
    {
        DeviceParams53 params;
        m_tab->loadParams(&params);
        retype(child<QLineEdit>("maxPriceEdit"), QStringLiteral("0.29"));
        m_tab->storeParams(&params);
        ConfigTab53 other;
        other.loadParams(&params);
        QCOMPARE(other.findChild<QLineEdit *>(QStringLiteral("maxPriceEdit"))->text(),
                 QStringLiteral("0.29"));
    }

    void decimalCommaLocaleStoresTypedValue()
    {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        {
            ConfigTab53 tab;
            DeviceParams53 params;
            tab.loadParams(&params);
            auto *price = tab.findChild<QLineEdit *>(QStringLiteral("maxPriceEdit"));
            auto *quantity = tab.findChild<QLineEdit *>(QStringLiteral("maxQuantityEdit"));
            retype(price, QStringLiteral("0,29"));
            retype(quantity, QStringLiteral("12,5"));
            QCOMPARE(price->text(), QStringLiteral("0,29"));  // the validator let it through
            tab.storeParams(&params);
            QCOMPARE(params.config().maxPrice, qint64(2900));
            QCOMPARE(params.config().maxQuantity, qint64(125000));
        }
        QLocale::setDefault(previous);
    }

    void unknownBitsAndKeptFieldsCarriedThrough()
    {
        DeviceParams53 params;
        ConfigBlock53 &c = params.config();
        c.kept0 = 0x7A6B5C4D;
        c.kept4 = -3;
        c.kept5 = 77;
        c.kept16 = QByteArray::fromHex("01020304");
        c.kept28 = QByteArray::fromHex("fffefdfc");
        c.kept82 = -1234;
        c.kept86 = QByteArray("ABCDEFG");
        c.fontFlags = 0xF0;
        c.printFlags = 0xA5F0;
        c.tradeFlags = 0x80000010u;
        c.paymentKinds = 0xE0;
        c.tradeModes = 0x1D;  // sale allowed, bits 2 and 3 set, main mode sale
        const QByteArray before = c.encode();
        m_tab->loadParams(&params);
        m_tab->storeParams(&params);
        QCOMPARE(params.config().encode().toHex(), before.toHex());

        // Switching every edited bit on and off again must not touch the others.
        const char *boxes[] = {"smallFontCheck", "printHeaderCheck", "printFooterCheck",
                               "printTaxesCheck", "printQrCheck", "autoCollectionCheck",
                               "priceEditingCheck", "payCashCheck", "payElectronicCheck",
                               "payCreditCheck", "payPrepaidCheck", "payOtherCheck",
                               "purchaseCheck"};
        for (const char *name : boxes)
            child<QCheckBox>(name)->setChecked(true);
        m_tab->storeParams(&params);
        QCOMPARE(int(c.fontFlags), 0xF1);
        QCOMPARE(int(c.printFlags), 0xA5FF);
        QCOMPARE(c.tradeFlags, 0x80000013u);
        QCOMPARE(int(c.paymentKinds), 0xFF);
        QCOMPARE(int(c.tradeModes), 0x1F);
        for (const char *name : boxes)
            child<QCheckBox>(name)->setChecked(false);
        m_tab->storeParams(&params);
        QCOMPARE(int(c.fontFlags), 0xF0);
        QCOMPARE(int(c.printFlags), 0xA5F0);
        QCOMPARE(c.tradeFlags, 0x80000010u);
        QCOMPARE(int(c.paymentKinds), 0xE0);
        QCOMPARE(int(c.tradeModes), 0x1D);
        QCOMPARE(c.kept0, 0x7A6B5C4D);
        QCOMPARE(c.kept86, QByteArray("ABCDEFG"));
    }

    void paymentBoxesMapToTheirBits()
    {
        DeviceParams53 params;
        params.config().paymentKinds = ConfigBlock53::PayCredit;  // bit 3
        m_tab->loadParams(&params);
        QVERIFY(child<QCheckBox>("payCreditCheck")->isChecked());
        QVERIFY(!child<QCheckBox>("payPrepaidCheck")->isChecked());
        QVERIFY(!child<QCheckBox>("payCashCheck")->isChecked());
        child<QCheckBox>("payPrepaidCheck")->setChecked(true);
        m_tab->storeParams(&params);
        QCOMPARE(int(params.config().paymentKinds), 0x0C);
    }

    void plainFieldsStored()
    {
        DeviceParams53 params;
        m_tab->loadParams(&params);
        child<QComboBox>("defaultCashierCombo")->setCurrentIndex(2);
        child<QComboBox>("displayModeCombo")->setCurrentIndex(0);
        child<QSpinBox>("printDensitySpin")->setValue(3);
        child<QSpinBox>("keySensitivitySpin")->setValue(2);
        child<QSpinBox>("internalCodeSizeSpin")->setValue(3);
        child<QSpinBox>("displayTimerSpin")->setValue(99);
        child<QCheckBox>("keySoundCheck")->setChecked(false);
        retype(child<QLineEdit>("weightPrefixEdit"), QStringLiteral("27"));
        m_tab->storeParams(&params);
        const ConfigBlock53 &c = params.config();
        QCOMPARE(int(c.defaultCashier), 3);
        QCOMPARE(int(c.displayMode), 1);
        QCOMPARE(int(c.printDensity), 3);
        QCOMPARE(int(c.keySensitivity), 2);
        QCOMPARE(int(c.internalCodeSize), 3);
        QCOMPARE(int(c.displayTimer), 99);
        QCOMPARE(int(c.keySound), 0);
        QCOMPARE(int(c.weightPrefix), 27);

        retype(child<QLineEdit>("weightPrefixEdit"), QString());
        m_tab->storeParams(&params);
        QCOMPARE(int(params.config().weightPrefix), 0);
    }

    void listsFollowTheSet()
    {
        DeviceParams53 params;
        params.departments()[2].setName(QStringLiteral("Бакалея"));
        params.users()[0].setName(QStringLiteral("Иванова"));
        params.config().defaultCashier = 1;
        m_tab->loadParams(&params);
        QCOMPARE(child<QComboBox>("defaultDeptCombo")->itemText(2), QStringLiteral("Бакалея"));
        QCOMPARE(child<QComboBox>("defaultCashierCombo")->currentText(), QStringLiteral("Иванова"));
        // A reload replaces the lists instead of appending to them.
        m_tab->loadParams(&params);
        QCOMPARE(child<QComboBox>("defaultDeptCombo")->count(), 16);
        QCOMPARE(child<QComboBox>("defaultCashierCombo")->count(), 16);
    }

    void cashierGoesIntoTheContext()
    {
        ValidationContext context;
        m_tab->prepareValidation(&context);
        QCOMPARE(context.defaultCashier, -1);  // nothing loaded yet
        DeviceParams53 params;
        params.config().defaultCashier = 4;
        m_tab->loadParams(&params);
        m_tab->prepareValidation(&context);
        QCOMPARE(context.defaultCashier, 3);
    }
};

QTEST_MAIN(TestConfigTab53)
#include "tst_configtab53.moc"
