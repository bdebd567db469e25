#include "configtab53.h"

#include "deviceparams53.h"
#include "money4.h"
#include "validationcontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSpacerItem>
#include <QSpinBox>
#include <QStandardItemModel>

namespace {

QSpinBox *makeSpinBox(QWidget *parent, const char *name, int minimum, int maximum, int maxWidth)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(minimum, maximum);
    spin->setMaximumWidth(maxWidth);
    return spin;
}

QCheckBox *makeCheckBox(QWidget *parent, const char *name, const QString &text = QString())
{
    auto *check = new QCheckBox(text, parent);
    check->setObjectName(QLatin1String(name));
    return check;
}

QComboBox *makeComboBox(QWidget *parent, const char *name)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    return combo;
}

QLineEdit *makeAmountEdit(QWidget *parent, const char *name, double maximum, int decimals)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setFixedWidth(128);
    auto *validator = new QDoubleValidator(0, maximum, decimals, edit);
    // An exponent would pass the validator but not the stored conversion.
    validator->setNotation(QDoubleValidator::StandardNotation);
    edit->setValidator(validator);
    return edit;
}

void setItemEnabled(QComboBox *combo, int row, bool enabled)
{
    auto *model = qobject_cast<QStandardItemModel *>(combo->model());
    if (!model)
        return;
    if (QStandardItem *item = model->item(row))
        item->setEnabled(enabled);
}

template<typename T>
T withBit(T word, T bit, bool on)
{
    return static_cast<T>(on ? (word | bit) : (word & ~bit));
}

// The register's amounts are unsigned; finer places than shown are cut.
QString unsignedAmountText(qint64 stored, int decimals)
{
    const quint64 step = decimals == 3 ? 1000 : 100;
    const quint64 units = quint64(stored) / (Money4::Scale / step);
    return QStringLiteral("%1.%2")
            .arg(units / step)
            .arg(units % step, decimals, 10, QLatin1Char('0'));
}

// Rounded to the nearest shown step; either decimal separator is taken, so a
// value typed in a locale with a decimal comma is not lost.
qint64 storedAmount(const QString &text, int decimals)
{
    bool ok = false;
    const qint64 value = Money4::fromText(text, decimals, &ok);
    return ok && value > 0 ? value : 0;
}

}

ConfigTab53::ConfigTab53(QWidget *parent)
    : DeviceWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->addWidget(createDeptGroup(), 0, 0, 1, 2);
    grid->addWidget(createTradeGroup(), 0, 2);
    grid->addWidget(createPaymentGroup(), 0, 3);
    grid->addWidget(createKeyboardGroup(), 1, 0);
    grid->addWidget(createDisplayGroup(), 1, 1);
    grid->addWidget(createTradeModeGroup(), 1, 2);
    grid->addWidget(createScannerGroup(), 2, 0);
    grid->addWidget(createPrinterGroup(), 2, 1);
    grid->addWidget(createPrintingGroup(), 2, 2);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 0);
    grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 4);

    connect(m_deptCount, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ConfigTab53::deptCountChanged);
    connect(m_sale, &QCheckBox::toggled, this, &ConfigTab53::saleModeChanged);
    connect(m_purchase, &QCheckBox::toggled, this, &ConfigTab53::purchaseModeChanged);
}

QGroupBox *ConfigTab53::createDeptGroup()
{
    auto *group = new QGroupBox(tr("Отделы"), this);
    auto *form = new QFormLayout(group);
    m_deptCount = makeSpinBox(group, "deptCountSpin", 1, DeviceParams::DeptCount, 40);
    m_defaultDept = makeComboBox(group, "defaultDeptCombo");
    m_defaultDept->setMaximumWidth(192);
    m_defaultCashier = makeComboBox(group, "defaultCashierCombo");
    m_defaultCashier->setMaximumWidth(192);
    form->addRow(tr("Количество отделов:"), m_deptCount);
    form->addRow(tr("Отдел по умолчанию:"), m_defaultDept);
    form->addRow(tr("Кассир по умолчанию:"), m_defaultCashier);
    return group;
}

QGroupBox *ConfigTab53::createTradeGroup()
{
    auto *group = new QGroupBox(tr("Торговля"), this);
    auto *form = new QFormLayout(group);
    m_maxPrice = makeAmountEdit(group, "maxPriceEdit", 20000000, Money4::PriceDecimals);
    m_maxDeposit = makeAmountEdit(group, "maxDepositEdit", 20000000, Money4::PriceDecimals);
    m_maxQuantity = makeAmountEdit(group, "maxQuantityEdit", 2000000, Money4::QuantityDecimals);
    m_autoCollection = makeCheckBox(group, "autoCollectionCheck");
    m_priceEditing = makeCheckBox(group, "priceEditingCheck");
    form->addRow(tr("Макс. цена:"), m_maxPrice);
    form->addRow(tr("Макс. депозит:"), m_maxDeposit);
    form->addRow(tr("Макс. кол-во:"), m_maxQuantity);
    form->addRow(tr("Автоинкассация:"), m_autoCollection);
    form->addRow(tr("Редакт.цены БД:"), m_priceEditing);
    return group;
}

QGroupBox *ConfigTab53::createScannerGroup()
{
    auto *group = new QGroupBox(tr("Сканер штрихкодов"), this);
    auto *form = new QFormLayout(group);
    m_internalCodeSize = makeSpinBox(group, "internalCodeSizeSpin", 1, 5, 48);
    m_weightPrefix = new QLineEdit(group);
    m_weightPrefix->setObjectName(QStringLiteral("weightPrefixEdit"));
    m_weightPrefix->setMaximumWidth(48);
    m_weightPrefix->setValidator(new QIntValidator(21, 29, m_weightPrefix));
    form->addRow(tr("Размер вн.кода:"), m_internalCodeSize);
    form->addRow(tr("Префикс вес.товара:"), m_weightPrefix);
    return group;
}

QGroupBox *ConfigTab53::createKeyboardGroup()
{
    auto *group = new QGroupBox(tr("Клавиатура"), this);
    auto *form = new QFormLayout(group);
    m_keySensitivity = makeSpinBox(group, "keySensitivitySpin", 1, 4, 48);
    m_keySound = makeCheckBox(group, "keySoundCheck");
    form->addRow(tr("Чувствительность:"), m_keySensitivity);
    form->addRow(tr("Звук клавиш:"), m_keySound);
    return group;
}

QGroupBox *ConfigTab53::createDisplayGroup()
{
    auto *group = new QGroupBox(tr("Дисплей"), this);
    auto *form = new QFormLayout(group);
    m_displayTimer = makeSpinBox(group, "displayTimerSpin", 0, 99, 48);
    m_displayTimer->setSuffix(tr(" с"));
    m_displayMode = makeComboBox(group, "displayModeCombo");
    m_displayMode->addItems({tr("Дата"), tr("Заряд"), tr("Комбо")});
    form->addRow(tr("Таймер выключения:"), m_displayTimer);
    form->addRow(tr("Режим индикации:"), m_displayMode);
    return group;
}

QGroupBox *ConfigTab53::createPrinterGroup()
{
    auto *group = new QGroupBox(tr("Принтер"), this);
    auto *form = new QFormLayout(group);
    m_printDensity = makeSpinBox(group, "printDensitySpin", 0, 3, 48);
    m_smallFont = makeCheckBox(group, "smallFontCheck");
    form->addRow(tr("Плотность печати:"), m_printDensity);
    form->addRow(tr("Мелкий шрифт:"), m_smallFont);
    return group;
}

QGroupBox *ConfigTab53::createPrintingGroup()
{
    auto *group = new QGroupBox(tr("Печать"), this);
    auto *form = new QFormLayout(group);
    m_printHeader = makeCheckBox(group, "printHeaderCheck");
    m_printFooter = makeCheckBox(group, "printFooterCheck");
    m_printTaxes = makeCheckBox(group, "printTaxesCheck");
    m_printQr = makeCheckBox(group, "printQrCheck");
    form->addRow(tr("Печать заголовка:"), m_printHeader);
    form->addRow(tr("Печать подвала:"), m_printFooter);
    form->addRow(tr("Печать налогов:"), m_printTaxes);
    form->addRow(tr("Печать QR кода:"), m_printQr);
    return group;
}

QGroupBox *ConfigTab53::createTradeModeGroup()
{
    auto *group = new QGroupBox(tr("Режимы торговли"), this);
    auto *form = new QFormLayout(group);
    m_sale = makeCheckBox(group, "saleCheck", tr("Приход"));
    m_purchase = makeCheckBox(group, "purchaseCheck", tr("Расход"));
    m_mainMode = makeComboBox(group, "mainModeCombo");
    m_mainMode->addItems({tr("Приход"), tr("Расход")});
    form->addRow(m_sale);
    form->addRow(m_purchase);
    form->addRow(tr("Осн.режим:"), m_mainMode);
    return group;
}

QGroupBox *ConfigTab53::createPaymentGroup()
{
    auto *group = new QGroupBox(tr("Виды расчета"), this);
    auto *form = new QFormLayout(group);
    m_payCash = makeCheckBox(group, "payCashCheck", tr("Наличные"));
    m_payElectronic = makeCheckBox(group, "payElectronicCheck", tr("Электронные"));
    m_payCredit = makeCheckBox(group, "payCreditCheck", tr("Кредит"));
    m_payPrepaid = makeCheckBox(group, "payPrepaidCheck", tr("Предоплата"));
    m_payOther = makeCheckBox(group, "payOtherCheck", tr("Другое"));
    form->addRow(m_payCash);
    form->addRow(m_payElectronic);
    form->addRow(m_payCredit);
    form->addRow(m_payPrepaid);
    form->addRow(m_payOther);
    return group;
}

void ConfigTab53::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;

    QStringList users;
    for (const UserRecord53 &user : set->users())
        users << user.name();
    m_defaultCashier->clear();
    m_defaultCashier->addItems(users);

    QStringList depts;
    for (const DeptRecord &dept : set->departments())
        depts << dept.name();
    m_defaultDept->clear();
    m_defaultDept->addItems(depts);

    const ConfigBlock53 &c = set->config();
    m_defaultDept->setCurrentIndex(c.defaultDept - 1);
    m_deptCount->setValue(c.deptCount);
    m_internalCodeSize->setValue(c.internalCodeSize);
    m_weightPrefix->setText(QString::number(c.weightPrefix));
    m_displayTimer->setValue(c.displayTimer);
    m_displayMode->setCurrentIndex(c.displayMode - 1);
    m_printDensity->setValue(c.printDensity);
    m_maxPrice->setText(unsignedAmountText(c.maxPrice, Money4::PriceDecimals));
    m_maxDeposit->setText(unsignedAmountText(c.maxDeposit, Money4::PriceDecimals));
    m_maxQuantity->setText(unsignedAmountText(c.maxQuantity, Money4::QuantityDecimals));
    m_keySound->setChecked(c.keySound != 0);
    m_keySensitivity->setValue(c.keySensitivity);
    m_defaultCashier->setCurrentIndex(c.defaultCashier - 1);
    m_autoCollection->setChecked(c.tradeFlags & ConfigBlock53::AutoCollection);
    m_priceEditing->setChecked(c.tradeFlags & ConfigBlock53::PriceEditing);
    m_smallFont->setChecked(c.fontFlags & ConfigBlock53::SmallFont);
    m_printHeader->setChecked(c.printFlags & ConfigBlock53::PrintHeader);
    m_printFooter->setChecked(c.printFlags & ConfigBlock53::PrintFooter);
    m_printTaxes->setChecked(c.printFlags & ConfigBlock53::PrintTaxes);
    m_printQr->setChecked(c.printFlags & ConfigBlock53::PrintQr);
    m_payCash->setChecked(c.paymentKinds & ConfigBlock53::PayCash);
    m_payElectronic->setChecked(c.paymentKinds & ConfigBlock53::PayElectronic);
    m_payCredit->setChecked(c.paymentKinds & ConfigBlock53::PayCredit);
    m_payPrepaid->setChecked(c.paymentKinds & ConfigBlock53::PayPrepaid);
    m_payOther->setChecked(c.paymentKinds & ConfigBlock53::PayOther);
    m_mainMode->setCurrentIndex(c.mainMode() - 1);
    m_sale->setChecked(c.tradeModes & ConfigBlock53::SaleAllowed);
    m_purchase->setChecked(c.tradeModes & ConfigBlock53::PurchaseAllowed);

    deptCountChanged(m_deptCount->value());
    // A box whose state did not change sent no toggled(), so its item of the
    // main mode would keep the state of the previous load.
    purchaseModeChanged(m_purchase->isChecked());
    saleModeChanged(m_sale->isChecked());
}

void ConfigTab53::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    ConfigBlock53 &c = set->config();
    c.deptCount = static_cast<qint8>(m_deptCount->value());
    c.defaultDept = static_cast<qint8>(m_defaultDept->currentIndex() + 1);
    c.defaultCashier = static_cast<qint8>(m_defaultCashier->currentIndex() + 1);
    c.maxPrice = storedAmount(m_maxPrice->text(), Money4::PriceDecimals);
    c.maxDeposit = storedAmount(m_maxDeposit->text(), Money4::PriceDecimals);
    c.maxQuantity = storedAmount(m_maxQuantity->text(), Money4::QuantityDecimals);
    c.tradeFlags = withBit<quint32>(c.tradeFlags, ConfigBlock53::AutoCollection,
                                    m_autoCollection->isChecked());
    c.tradeFlags = withBit<quint32>(c.tradeFlags, ConfigBlock53::PriceEditing,
                                    m_priceEditing->isChecked());
    c.internalCodeSize = static_cast<qint8>(m_internalCodeSize->value());
    bool ok = false;
    const int prefix = m_weightPrefix->text().toInt(&ok);
    c.weightPrefix = static_cast<qint8>(ok ? prefix : 0);
    c.keySensitivity = static_cast<qint8>(m_keySensitivity->value());
    c.keySound = m_keySound->isChecked() ? 1 : 0;
    c.displayTimer = static_cast<qint8>(m_displayTimer->value());
    c.displayMode = static_cast<qint8>(m_displayMode->currentIndex() + 1);
    c.printDensity = static_cast<qint8>(m_printDensity->value());
    c.fontFlags = withBit<quint8>(c.fontFlags, ConfigBlock53::SmallFont, m_smallFont->isChecked());
    c.printFlags = withBit<quint16>(c.printFlags, ConfigBlock53::PrintHeader, m_printHeader->isChecked());
    c.printFlags = withBit<quint16>(c.printFlags, ConfigBlock53::PrintFooter, m_printFooter->isChecked());
    c.printFlags = withBit<quint16>(c.printFlags, ConfigBlock53::PrintTaxes, m_printTaxes->isChecked());
    c.printFlags = withBit<quint16>(c.printFlags, ConfigBlock53::PrintQr, m_printQr->isChecked());
    c.paymentKinds = withBit<quint8>(c.paymentKinds, ConfigBlock53::PayCash, m_payCash->isChecked());
    c.paymentKinds = withBit<quint8>(c.paymentKinds, ConfigBlock53::PayElectronic,
                                     m_payElectronic->isChecked());
    c.paymentKinds = withBit<quint8>(c.paymentKinds, ConfigBlock53::PayCredit, m_payCredit->isChecked());
    c.paymentKinds = withBit<quint8>(c.paymentKinds, ConfigBlock53::PayPrepaid,
                                     m_payPrepaid->isChecked());
    c.paymentKinds = withBit<quint8>(c.paymentKinds, ConfigBlock53::PayOther, m_payOther->isChecked());
    c.setMainMode(m_mainMode->currentIndex() + 1);
    c.tradeModes = withBit<quint8>(c.tradeModes, ConfigBlock53::SaleAllowed, m_sale->isChecked());
    c.tradeModes = withBit<quint8>(c.tradeModes, ConfigBlock53::PurchaseAllowed,
                                   m_purchase->isChecked());
}

void ConfigTab53::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}

void ConfigTab53::prepareValidation(ValidationContext *context)
{
    if (context)
        context->defaultCashier = m_defaultCashier->currentIndex();
}

void ConfigTab53::deptCountChanged(int count)
{
    for (int i = 0; i < m_defaultDept->count(); ++i)
        setItemEnabled(m_defaultDept, i, i < count);
    if (m_defaultDept->currentIndex() >= count)
        m_defaultDept->setCurrentIndex(0);
}

void ConfigTab53::saleModeChanged(bool value)
{
    setItemEnabled(m_mainMode, 0, value);
    if (value)
        return;
    m_purchase->setChecked(true);
    if (m_mainMode->currentIndex() == 0)
        m_mainMode->setCurrentIndex(1);
}

void ConfigTab53::purchaseModeChanged(bool value)
{
    setItemEnabled(m_mainMode, 1, value);
    if (value)
        return;
    m_sale->setChecked(true);
    if (m_mainMode->currentIndex() == 1)
        m_mainMode->setCurrentIndex(0);
}
