#pragma once

#include "widgets/devicewidget.h"

class QTableView;
class UserTableModel52;

// The "Пользователи" page of a 2.52 device window. Hidden users (the
// service engineer's account) are neither listed nor written.
class UserTab52 : public DeviceWidget
{
    Q_OBJECT

public:
    explicit UserTab52(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

private:
    void installDelegates(const QStringList &positionNames);

    QTableView *m_view = nullptr;
    UserTableModel52 *m_model = nullptr;
};
