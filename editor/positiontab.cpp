#include "editor/positiontab.h"

#include "editor/positionlistmodel.h"
#include "params/deviceparams.h"
#include "widgets/textitemdelegate.h"

#include <QGridLayout>
#include <QListView>
#include <QSpacerItem>

PositionTab::PositionTab(QWidget *parent)
    : DeviceWidget(parent)
    , m_view(new QListView(this))
    , m_model(new PositionListModel(this))
{
    m_view->setObjectName(QStringLiteral("positionView"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(new TextItemDelegate(NameMax, false, m_view));

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_view, 0, 0);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 1, 0);
    grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 1);
}

void PositionTab::loadParams(DeviceParams *params)
{
    if (params)
        m_model->setNames(params->positionNames());
}

void PositionTab::storeParams(DeviceParams *params)
{
    if (!params)
        return;
    const QStringList names = m_model->names();
    for (int i = 0; i < names.size(); ++i)
        params->setPositionName(i, names.at(i));
}

void PositionTab::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}
