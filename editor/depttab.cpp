#include "editor/depttab.h"

#include "editor/depttablemodel.h"
#include "params/deviceparams.h"
#include "widgets/comboboxitemdelegate.h"
#include "widgets/textitemdelegate.h"

#include <QGridLayout>
#include <QTableView>

DeptTab::DeptTab(QWidget *parent)
    : DeviceWidget(parent)
    , m_view(new QTableView(this))
    , m_model(new DeptTableModel(this))
{
    m_view->setObjectName(QStringLiteral("deptView"));
    m_view->setModel(m_model);
    installDelegates();
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_view, 0, 0);
}

// The delegates never change with the data, so the view keeps one of each.
void DeptTab::installDelegates()
{
    m_view->setItemDelegateForColumn(DeptTableModel::VatColumn,
                                     new ComboBoxItemDelegate(m_model->vatRates(), 1, m_view));
    m_view->setItemDelegateForColumn(DeptTableModel::TaxColumn,
                                     new ComboBoxItemDelegate(m_model->taxSystems(), 0, m_view));
    m_view->setItemDelegateForColumn(DeptTableModel::NameColumn,
                                     new TextItemDelegate(NameMax, false, m_view));
}

void DeptTab::loadParams(DeviceParams *params)
{
    if (!params)
        return;
    QVector<DeptRow> rows;
    for (const DeptRecord &dept : params->departments())
        rows.append({dept.name(), dept.vat, dept.taxIndex()});
    m_model->setDepartments(rows);
    m_view->resizeColumnsToContents();
}

void DeptTab::storeParams(DeviceParams *params)
{
    if (!params)
        return;
    QVector<DeptRecord> &records = params->departments();
    const QVector<DeptRow> rows = m_model->departments();
    for (int i = 0; i < rows.size() && i < records.size(); ++i) {
        DeptRecord &dept = records[i];
        dept.setName(rows.at(i).name);
        dept.setTaxIndex(rows.at(i).taxIndex);
        dept.vat = static_cast<qint8>(rows.at(i).vat);
    }
}

void DeptTab::validate(DeviceIssueWidget *issues, const ValidationContext *context)
{
    Q_UNUSED(issues)
    Q_UNUSED(context)
}
