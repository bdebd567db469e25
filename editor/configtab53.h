#pragma once

#include "editor/configtabbase.h"

class QCheckBox;
class QComboBox;
class QGroupBox;

// The "Конфигурация" page of a 2.53 device window: the shared settings plus
// the trade modes and payment kinds. Flag bits are set one by one, so bits
// the page does not show survive a store.
class ConfigTab53 : public ConfigTabBase
{
    Q_OBJECT

public:
    explicit ConfigTab53(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void prepareValidation(ValidationContext *context) override;

private slots:
    void saleModeChanged(bool value);
    void purchaseModeChanged(bool value);

private:
    QGroupBox *createTradeModeGroup();
    QGroupBox *createPaymentGroup();

    QCheckBox *m_sale = nullptr;
    QCheckBox *m_purchase = nullptr;
    QComboBox *m_mainMode = nullptr;
    QCheckBox *m_payCash = nullptr;
    QCheckBox *m_payElectronic = nullptr;
    QCheckBox *m_payCredit = nullptr;
    QCheckBox *m_payPrepaid = nullptr;
    QCheckBox *m_payOther = nullptr;
};
