#pragma once

#include "widgets/devicewidget.h"

class DeptTableModel;
class QTableView;

// The "Отделы" page, shared by both families: every department record with
// its name, VAT rate and tax system, whatever number of them is in use.
class DeptTab : public DeviceWidget
{
    Q_OBJECT

public:
    static constexpr int NameMax = 12;

    explicit DeptTab(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

    DeptTableModel *model() const { return m_model; }

private:
    void installDelegates();

    QTableView *m_view = nullptr;
    DeptTableModel *m_model = nullptr;
};
