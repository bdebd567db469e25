#include "editor/registrationtab52.h"

#include "editor/registrationtablemodel52.h"
#include "params/deviceparams52.h"
#include "params/tabvalues52.h"
#include "widgets/checkboxitemdelegate.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QTableView>

RegistrationTab52::RegistrationTab52(QWidget *parent)
    : DeviceWidget(parent)
{
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("registrationView"));
    m_model = new RegistrationTableModel52(this);
    m_view->setModel(m_model);
    m_view->setItemDelegateForColumn(RegistrationTableModel52::ClosedColumn,
                                     new CheckBoxItemDelegate(m_view));
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_view, 0, 0);
}

void RegistrationTab52::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    m_model->setRows(TabValues52::registrationRows(*set));
    // Registration and fiscal storage numbers are read whole or not at all.
    m_view->resizeColumnsToContents();
}

void RegistrationTab52::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    QVector<RegistrationRecord52> &history = set->history();
    const QVector<RegistrationRow52> &rows = m_model->rows();
    // The table is the history: a row added to it needs a used record to be
    // stored in, and one taken out of it must not come back from the old set.
    // The system block has room for a fixed number of records only.
    const int count = qMin(rows.size(), int(DeviceParams52::HistorySlots));
    while (history.size() < count)
        history.append(RegistrationRecord52());
    history.resize(qMax(count, 0));
    for (int i = 0; i < count; ++i) {
        const RegistrationRow52 &row = rows.at(i);
        RegistrationRecord52 &r = history[i];
        r.setDateTime(row.dateTime);
        r.setRegNumber(row.regNumber);
        r.setInn(row.inn);
        r.setFnNumber(row.fnNumber);
        r.taxSystems = static_cast<quint8>(row.taxSystems);
        r.workModes = static_cast<quint8>(row.workModes);
        r.closed = row.closed ? 1 : 0;
    }
}

void RegistrationTab52::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}
