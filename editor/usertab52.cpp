#include "editor/usertab52.h"

#include "editor/usertablemodel52.h"
#include "params/deviceparams52.h"
#include "params/tabvalues52.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/comboboxitemdelegate.h"

#include <QGridLayout>
#include <QTableView>

UserTab52::UserTab52(QWidget *parent)
    : DeviceWidget(parent)
{
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("userView"));
    m_model = new UserTableModel52(this);
    m_view->setModel(m_model);
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_view, 0, 0);
}

void UserTab52::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    const QStringList positions = set->positionNames();
    m_model->setUsers(TabValues52::userRows(*set), positions);
    installDelegates(positions);
    // Whole barcodes and rights, not "3000001000…".
    m_view->resizeColumnsToContents();
}

void UserTab52::installDelegates(const QStringList &positionNames)
{
    // The old delegates belong to the view until it goes; replacing them on
    // every load must not pile them up.
    for (int column : {int(UserTableModel52::PositionColumn), int(UserTableModel52::ActiveColumn)}) {
        if (QAbstractItemDelegate *old = m_view->itemDelegateForColumn(column))
            old->deleteLater();
    }
    m_view->setItemDelegateForColumn(UserTableModel52::PositionColumn,
                                     new ComboBoxItemDelegate(positionNames, 1, m_view));
    m_view->setItemDelegateForColumn(UserTableModel52::ActiveColumn, new CheckBoxItemDelegate(m_view));
}

void UserTab52::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    QVector<UserRecord52> &users = set->users();
    for (const UserRow52 &row : m_model->users()) {
        if (row.record < 0 || row.record >= users.size())
            continue;
        UserRecord52 &u = users[row.record];
        u.setName(row.name);
        u.rights = static_cast<qint8>(row.rights);
        u.setShownBarcode(row.barcode);
        u.position = static_cast<qint8>(row.position);
        u.setActive(row.active);
    }
}

void UserTab52::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}
