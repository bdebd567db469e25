#include "editor/configtab53.h"

#include "editor/configcontrols.h"
#include "params/deviceparams53.h"
#include "widgets/validationcontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>

using namespace ConfigControls;

namespace {

template<typename T>
T withBit(T word, T bit, bool on)
{
    return static_cast<T>(on ? (word | bit) : (word & ~bit));
}

}

ConfigTab53::ConfigTab53(QWidget *parent)
    : ConfigTabBase(0, 3, parent)
{
    groupGrid()->addWidget(createPaymentGroup(), 0, 3);
    groupGrid()->addWidget(createTradeModeGroup(), 1, 2);

    connect(m_sale, &QCheckBox::toggled, this, &ConfigTab53::saleModeChanged);
    connect(m_purchase, &QCheckBox::toggled, this, &ConfigTab53::purchaseModeChanged);
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
    QStringList depts;
    for (const DeptRecord &dept : set->departments())
        depts << dept.name();

    const ConfigBlock53 &c = set->config();
    loadCommon(c, users, depts);
    setDefaultCashierIndex(c.defaultCashier - 1);
    loadFlags(c.tradeFlags, c.printFlags, c.fontFlags & ConfigBlock53::SmallFont);
    m_payCash->setChecked(c.paymentKinds & ConfigBlock53::PayCash);
    m_payElectronic->setChecked(c.paymentKinds & ConfigBlock53::PayElectronic);
    m_payCredit->setChecked(c.paymentKinds & ConfigBlock53::PayCredit);
    m_payPrepaid->setChecked(c.paymentKinds & ConfigBlock53::PayPrepaid);
    m_payOther->setChecked(c.paymentKinds & ConfigBlock53::PayOther);
    m_mainMode->setCurrentIndex(c.mainMode() - 1);
    m_sale->setChecked(c.tradeModes & ConfigBlock53::SaleAllowed);
    m_purchase->setChecked(c.tradeModes & ConfigBlock53::PurchaseAllowed);

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
    storeCommon(c);
    c.defaultCashier = static_cast<qint8>(defaultCashierIndex() + 1);
    // Only the bits the page shows change; the register's others stay.
    const quint32 tradeMask = ConfigBlock53::AutoCollection | ConfigBlock53::PriceEditing;
    c.tradeFlags = (c.tradeFlags & ~tradeMask) | tradeBits();
    const quint16 printMask = ConfigBlock53::PrintHeader | ConfigBlock53::PrintFooter
            | ConfigBlock53::PrintTaxes | ConfigBlock53::PrintQr;
    c.printFlags = static_cast<quint16>((c.printFlags & ~printMask) | printBits());
    c.fontFlags = withBit<quint8>(c.fontFlags, ConfigBlock53::SmallFont, smallFontChecked());
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

void ConfigTab53::prepareValidation(ValidationContext *context)
{
    if (context)
        context->defaultCashier = defaultCashierIndex();
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
