#pragma once

#include "widgets/devicewidget.h"

class PositionListModel;
class QListView;

// The "Должности" page, shared by both families: the eight position names.
class PositionTab : public DeviceWidget
{
    Q_OBJECT

public:
    static constexpr int NameMax = 16;

    explicit PositionTab(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

    PositionListModel *model() const { return m_model; }

private:
    QListView *m_view = nullptr;
    PositionListModel *m_model = nullptr;
};
