#pragma once

#include "widgets/devicewidget.h"

class QLineEdit;

// The "Регистрационные данные" page of a 2.53 window. The identifiers may be
// changed only after a main board was replaced, so the page opens locked.
class RegistrationTab53 : public DeviceWidget
{
    Q_OBJECT

public:
    explicit RegistrationTab53(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

private slots:
    void unblock();

private:
    QLineEdit *addEdit(const char *name, int maxLength);
    QWidget *control(int field) const;

    QLineEdit *m_serial = nullptr;
    QLineEdit *m_regNumber = nullptr;
    QLineEdit *m_fnNumber = nullptr;
};
