#pragma once

#include "widgets/devicewidget.h"

class QLineEdit;

// The "Реквизиты организации" page of a 2.52 device window.
class OrgTab52 : public DeviceWidget
{
    Q_OBJECT

public:
    explicit OrgTab52(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

private:
    QLineEdit *m_inn = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_address = nullptr;
};
