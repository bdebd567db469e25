#pragma once

#include "widgets/devicewidget.h"

class QGroupBox;
class QLineEdit;
class QSpinBox;

// The "Настройки ОФД" page of a 2.53 window: connection to the fiscal data
// operator and its registration data.
class OfdTab53 : public DeviceWidget
{
    Q_OBJECT

public:
    explicit OfdTab53(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;
    void prepareValidation(ValidationContext *context) override;

private:
    QGroupBox *createConnectionGroup();
    QGroupBox *createRegistrationGroup();
    QWidget *control(int field) const;

    QLineEdit *m_address = nullptr;
    QSpinBox *m_port = nullptr;
    QSpinBox *m_pollTimer = nullptr;
    QSpinBox *m_connectTimer = nullptr;
    QLineEdit *m_inn = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_checkSite = nullptr;
    QLineEdit *m_taxSite = nullptr;
};
