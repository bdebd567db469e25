#pragma once

#include "widgets/devicewidget.h"

class QGroupBox;
class QLineEdit;
class QSpinBox;

// The "Настройки ОФД" page of a 2.52 device window: the connection to the
// fiscal data operator and its INN.
class OfdTab52 : public DeviceWidget
{
    Q_OBJECT

public:
    explicit OfdTab52(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

private:
    QGroupBox *createConnectionGroup();
    QGroupBox *createRegistrationGroup();

    QLineEdit *m_address = nullptr;
    QLineEdit *m_port = nullptr;
    QSpinBox *m_pollTimer = nullptr;
    QSpinBox *m_connectTimer = nullptr;
    QLineEdit *m_inn = nullptr;
    QLineEdit *m_site = nullptr;
};
