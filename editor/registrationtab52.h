#pragma once

#include "widgets/devicewidget.h"

class QTableView;
class RegistrationTableModel52;

// The "Регистрационные данные" page of a 2.52 device window: the register's
// registration history as an editable table.
class RegistrationTab52 : public DeviceWidget
{
    Q_OBJECT

public:
    explicit RegistrationTab52(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

private:
    QTableView *m_view = nullptr;
    RegistrationTableModel52 *m_model = nullptr;
};
