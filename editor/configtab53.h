#pragma once

#include "devicewidget.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

// The "Конфигурация" page of a 2.53 device window: general settings of the
// register's configuration block. The controls are the state; the tab keeps
// no copy of the parameter set.
class ConfigTab53 : public DeviceWidget
{
    Q_OBJECT

public:
    explicit ConfigTab53(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;
    void prepareValidation(ValidationContext *context) override;

private slots:
    void deptCountChanged(int count);
    void saleModeChanged(bool value);
    void purchaseModeChanged(bool value);

private:
    QGroupBox *createDeptGroup();
    QGroupBox *createTradeGroup();
    QGroupBox *createScannerGroup();
    QGroupBox *createKeyboardGroup();
    QGroupBox *createDisplayGroup();
    QGroupBox *createPrinterGroup();
    QGroupBox *createPrintingGroup();
    QGroupBox *createTradeModeGroup();
    QGroupBox *createPaymentGroup();

    QSpinBox *m_deptCount = nullptr;
    QComboBox *m_defaultDept = nullptr;
    QComboBox *m_defaultCashier = nullptr;
    QLineEdit *m_maxPrice = nullptr;
    QLineEdit *m_maxDeposit = nullptr;
    QLineEdit *m_maxQuantity = nullptr;
    QCheckBox *m_autoCollection = nullptr;
    QCheckBox *m_priceEditing = nullptr;
    QSpinBox *m_internalCodeSize = nullptr;
    QLineEdit *m_weightPrefix = nullptr;
    QSpinBox *m_keySensitivity = nullptr;
    QCheckBox *m_keySound = nullptr;
    QSpinBox *m_displayTimer = nullptr;
    QComboBox *m_displayMode = nullptr;
    QSpinBox *m_printDensity = nullptr;
    QCheckBox *m_smallFont = nullptr;
    QCheckBox *m_printHeader = nullptr;
    QCheckBox *m_printFooter = nullptr;
    QCheckBox *m_printTaxes = nullptr;
    QCheckBox *m_printQr = nullptr;
    QCheckBox *m_sale = nullptr;
    QCheckBox *m_purchase = nullptr;
    QComboBox *m_mainMode = nullptr;
    QCheckBox *m_payCash = nullptr;
    QCheckBox *m_payElectronic = nullptr;
    QCheckBox *m_payCredit = nullptr;
    QCheckBox *m_payPrepaid = nullptr;
    QCheckBox *m_payOther = nullptr;
};
