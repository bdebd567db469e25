#include "goodsissuewidget.h"

#include "goodsissue.h"
#include "issuelistmodel.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QTableView>

GoodsIssueWidget::GoodsIssueWidget(QTableView *view, QWidget *parent)
    : QDockWidget(parent)
    , m_table(view)
    , m_view(new QListView(this))
    , m_model(new IssueListModel(this))
{
    setObjectName(QStringLiteral("goodsIssueWidget"));
    setWindowTitle(tr("Проблемы"));
    setAllowedAreas(Qt::BottomDockWidgetArea);
    m_view->setObjectName(QStringLiteral("issueView"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWidget(m_view);
    connect(m_view, &QListView::doubleClicked, this, &GoodsIssueWidget::showIssue);
}

void GoodsIssueWidget::addIssue(int row, int column, const QString &text)
{
    m_model->addIssue(QSharedPointer<Issue>(new GoodsIssue(row, column, text)));
}

IssueListModel *GoodsIssueWidget::model() const
{
    return m_model;
}

void GoodsIssueWidget::showIssue(const QModelIndex &index)
{
    if (!m_table)
        return;
    const auto issue = m_model->issue(index.row()).dynamicCast<GoodsIssue>();
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
