#include "widgets/goodsissuewidget.h"

#include "widgets/goodsissue.h"
#include "widgets/issuelistmodel.h"

#include <QItemSelectionModel>
#include <QTableView>

GoodsIssueWidget::GoodsIssueWidget(QTableView *view, QWidget *parent)
    : IssueDock(QStringLiteral("goodsIssueWidget"), parent)
    , m_table(view)
{
}

void GoodsIssueWidget::addIssue(int row, int column, const QString &text)
{
    model()->addIssue(QSharedPointer<Issue>(new GoodsIssue(row, column, text)));
}

void GoodsIssueWidget::showIssue(const QSharedPointer<Issue> &problem)
{
    if (!m_table)
        return;
    const auto issue = problem.dynamicCast<GoodsIssue>();
    if (!issue)
        return;
    QAbstractItemModel *model = m_table->model();
    QItemSelectionModel *selection = m_table->selectionModel();
    if (!model || !selection)
        return;
    // Rows removed since the check leave nothing to point at.
    const QModelIndex cell = model->index(issue->row, issue->column);
    if (!cell.isValid())
        return;
    m_table->clearSelection();
    selection->select(cell, QItemSelectionModel::Select | QItemSelectionModel::Current);
    // The cell cursor follows, so that typing or F2 edits the reported cell.
    selection->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
    m_table->scrollTo(cell);
    m_table->setFocus(Qt::OtherFocusReason);
}
