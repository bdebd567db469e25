#include "editor/usertab53.h"

#include "editor/usertablemodel53.h"
#include "params/checks53.h"
#include "params/deviceparams53.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/comboboxitemdelegate.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/textitemdelegate.h"
#include "widgets/validationcontext.h"

#include <QGridLayout>
#include <QTableView>

UserTab53::UserTab53(QWidget *parent)
    : DeviceWidget(parent)
    , m_view(new QTableView(this))
    , m_model(new UserTableModel53(this))
{
    m_view->setObjectName(QStringLiteral("userView"));
    m_view->setModel(m_model);
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_view, 0, 0);
}

// The position choices follow the names of the last load, so each load brings
// its own delegates; the replaced ones go once their editors are closed.
void UserTab53::installDelegates()
{
    const int columns[] = {UserTableModel53::NameColumn, UserTableModel53::PositionColumn,
                           UserTableModel53::ActiveColumn};
    for (int column : columns) {
        if (QAbstractItemDelegate *old = m_view->itemDelegateForColumn(column))
            old->deleteLater();
    }
    m_view->setItemDelegateForColumn(UserTableModel53::NameColumn,
                                     new TextItemDelegate(NameMax, false, m_view));
    m_view->setItemDelegateForColumn(UserTableModel53::PositionColumn,
                                     new ComboBoxItemDelegate(m_model->positionNames(), 1, m_view));
    m_view->setItemDelegateForColumn(UserTableModel53::ActiveColumn, new CheckBoxItemDelegate(m_view));
}

void UserTab53::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    m_model->setUsers(TabValues53::userRows(*set), set->positionNames());
    installDelegates();
    // Whole barcodes and rights, not "3000001000…".
    m_view->resizeColumnsToContents();
}

void UserTab53::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams53 *>(params);
    if (!set)
        return;
    QVector<UserRecord53> &records = set->users();
    for (const UserRow53 &row : m_model->users()) {
        if (row.record < 0 || row.record >= records.size())
            continue;
        UserRecord53 &user = records[row.record];
        user.setName(row.name);
        user.rights = static_cast<qint8>(row.rights);
        user.setBarcode(row.barcode);
        user.setInn(row.inn);
        user.setFullName(row.fullName);
        user.setPassword(row.password);
        user.position = static_cast<qint8>(row.position);
        user.setActive(row.active);
    }
}

void UserTab53::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    if (!issues || !context)
        return;
    for (const CheckIssue &issue : Checks53::checkUsers(m_model->users(), context->defaultCashier))
        issues->addIssue(this, m_view, issue.text);
}
