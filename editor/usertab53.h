#pragma once

#include "widgets/devicewidget.h"

class QTableView;
class UserTableModel53;

// The "Пользователи" page of a 2.53 window: every user not flagged hidden.
class UserTab53 : public DeviceWidget
{
    Q_OBJECT

public:
    static constexpr int NameMax = 14;

    explicit UserTab53(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

    UserTableModel53 *model() const { return m_model; }

private:
    void installDelegates();

    QTableView *m_view = nullptr;
    UserTableModel53 *m_model = nullptr;
};
