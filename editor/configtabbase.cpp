#include "editor/configtabbase.h"

#include "editor/configcontrols.h"
#include "params/choicelists.h"
#include "params/configcommon.h"
#include "params/deviceparams.h"
#include "params/money4.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QSpacerItem>
#include <QSpinBox>

using namespace ConfigControls;

namespace {

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

// Rounded to the nearest shown step; either decimal separator is taken, so a
// value typed in a locale with a decimal comma is not lost.
qint64 storedAmount(const QString &text, int decimals)
{
    bool ok = false;
    const qint64 value = Money4::fromText(text, decimals, &ok);
    return ok && value > 0 ? value : 0;
}

}

ConfigTabBase::ConfigTabBase(int minDensity, int maxDensity, QWidget *parent)
    : DeviceWidget(parent)
{
    m_grid = new QGridLayout(this);
    m_grid->addWidget(createDeptGroup(), 0, 0, 1, 2);
    m_grid->addWidget(createTradeGroup(), 0, 2);
    m_grid->addWidget(createKeyboardGroup(), 1, 0);
    m_grid->addWidget(createDisplayGroup(), 1, 1);
    m_grid->addWidget(createScannerGroup(), 2, 0);
    m_grid->addWidget(createPrinterGroup(minDensity, maxDensity), 2, 1);
    m_grid->addWidget(createPrintingGroup(), 2, 2);
    m_grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 0);
    m_grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 4);

    connect(m_deptCount, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ConfigTabBase::deptCountChanged);
}

QGroupBox *ConfigTabBase::createDeptGroup()
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

QGroupBox *ConfigTabBase::createTradeGroup()
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

QGroupBox *ConfigTabBase::createScannerGroup()
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

QGroupBox *ConfigTabBase::createKeyboardGroup()
{
    auto *group = new QGroupBox(tr("Клавиатура"), this);
    auto *form = new QFormLayout(group);
    m_keySensitivity = makeSpinBox(group, "keySensitivitySpin", 1, 4, 48);
    m_keySound = makeCheckBox(group, "keySoundCheck");
    form->addRow(tr("Чувствительность:"), m_keySensitivity);
    form->addRow(tr("Звук клавиш:"), m_keySound);
    return group;
}

QGroupBox *ConfigTabBase::createDisplayGroup()
{
    auto *group = new QGroupBox(tr("Дисплей"), this);
    auto *form = new QFormLayout(group);
    m_displayTimer = makeSpinBox(group, "displayTimerSpin", 0, 99, 48, tr(" с"));
    m_displayMode = makeComboBox(group, "displayModeCombo");
    m_displayMode->addItems(ChoiceLists::displayModes());
    form->addRow(tr("Таймер выключения:"), m_displayTimer);
    form->addRow(tr("Режим индикации:"), m_displayMode);
    return group;
}

QGroupBox *ConfigTabBase::createPrinterGroup(int minDensity, int maxDensity)
{
    auto *group = new QGroupBox(tr("Принтер"), this);
    auto *form = new QFormLayout(group);
    m_printDensity = makeSpinBox(group, "printDensitySpin", minDensity, maxDensity, 48);
    m_smallFont = makeCheckBox(group, "smallFontCheck");
    form->addRow(tr("Плотность печати:"), m_printDensity);
    form->addRow(tr("Мелкий шрифт:"), m_smallFont);
    return group;
}

QGroupBox *ConfigTabBase::createPrintingGroup()
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

void ConfigTabBase::loadCommon(const ConfigCommon &c, const QStringList &users,
                               const QStringList &depts)
{
    m_defaultCashier->clear();
    m_defaultCashier->addItems(users);
    m_defaultDept->clear();
    m_defaultDept->addItems(depts);

    m_defaultDept->setCurrentIndex(c.defaultDept - 1);
    m_deptCount->setValue(c.deptCount);
    m_internalCodeSize->setValue(c.internalCodeSize);
    m_weightPrefix->setText(QString::number(c.weightPrefix));
    m_displayTimer->setValue(c.displayTimer);
    m_displayMode->setCurrentIndex(c.displayMode - 1);
    m_printDensity->setValue(c.printDensity);
    m_maxPrice->setText(Money4::toUnsignedText(c.maxPrice, Money4::PriceDecimals));
    m_maxDeposit->setText(Money4::toUnsignedText(c.maxDeposit, Money4::PriceDecimals));
    m_maxQuantity->setText(Money4::toUnsignedText(c.maxQuantity, Money4::QuantityDecimals));
    m_keySound->setChecked(c.keySound != 0);
    m_keySensitivity->setValue(c.keySensitivity);
    // The department count decides which departments may be chosen.
    deptCountChanged(m_deptCount->value());
}

void ConfigTabBase::storeCommon(ConfigCommon &c) const
{
    c.deptCount = static_cast<qint8>(m_deptCount->value());
    c.defaultDept = static_cast<qint8>(m_defaultDept->currentIndex() + 1);
    c.maxPrice = storedAmount(m_maxPrice->text(), Money4::PriceDecimals);
    c.maxDeposit = storedAmount(m_maxDeposit->text(), Money4::PriceDecimals);
    c.maxQuantity = storedAmount(m_maxQuantity->text(), Money4::QuantityDecimals);
    c.internalCodeSize = static_cast<qint8>(m_internalCodeSize->value());
    bool ok = false;
    const int prefix = m_weightPrefix->text().toInt(&ok);
    c.weightPrefix = static_cast<qint8>(ok ? prefix : 0);
    c.keySensitivity = static_cast<qint8>(m_keySensitivity->value());
    c.keySound = m_keySound->isChecked() ? 1 : 0;
    c.displayTimer = static_cast<qint8>(m_displayTimer->value());
    c.displayMode = static_cast<qint8>(m_displayMode->currentIndex() + 1);
    c.printDensity = static_cast<qint8>(m_printDensity->value());
}

void ConfigTabBase::loadFlags(quint32 tradeFlags, quint16 printFlags, bool smallFont)
{
    m_autoCollection->setChecked(tradeFlags & ConfigCommon::AutoCollection);
    m_priceEditing->setChecked(tradeFlags & ConfigCommon::PriceEditing);
    m_smallFont->setChecked(smallFont);
    m_printHeader->setChecked(printFlags & ConfigCommon::PrintHeader);
    m_printFooter->setChecked(printFlags & ConfigCommon::PrintFooter);
    m_printTaxes->setChecked(printFlags & ConfigCommon::PrintTaxes);
    m_printQr->setChecked(printFlags & ConfigCommon::PrintQr);
}

quint32 ConfigTabBase::tradeBits() const
{
    quint32 bits = 0;
    if (m_autoCollection->isChecked())
        bits |= ConfigCommon::AutoCollection;
    if (m_priceEditing->isChecked())
        bits |= ConfigCommon::PriceEditing;
    return bits;
}

quint16 ConfigTabBase::printBits() const
{
    quint16 bits = 0;
    if (m_printHeader->isChecked())
        bits |= ConfigCommon::PrintHeader;
    if (m_printFooter->isChecked())
        bits |= ConfigCommon::PrintFooter;
    if (m_printTaxes->isChecked())
        bits |= ConfigCommon::PrintTaxes;
    if (m_printQr->isChecked())
        bits |= ConfigCommon::PrintQr;
    return bits;
}

bool ConfigTabBase::smallFontChecked() const
{
    return m_smallFont->isChecked();
}

int ConfigTabBase::defaultCashierIndex() const
{
    return m_defaultCashier->currentIndex();
}

void ConfigTabBase::setDefaultCashierIndex(int index)
{
    m_defaultCashier->setCurrentIndex(index);
}

void ConfigTabBase::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}

void ConfigTabBase::deptCountChanged(int count)
{
    for (int i = 0; i < m_defaultDept->count(); ++i)
        setItemEnabled(m_defaultDept, i, i < count);
    if (m_defaultDept->currentIndex() >= count)
        m_defaultDept->setCurrentIndex(0);
}
