#pragma once

#include <QDockWidget>
#include <QPointer>

class IssueListModel;
class QListView;
class QTableView;

// The "Проблемы" dock of the goods window. A double click on a problem selects
// the offending cell of the goods table.
class GoodsIssueWidget : public QDockWidget
{
    Q_OBJECT

public:
    // `view` is the window's goods table (not owned); issues address cells of its model.
    explicit GoodsIssueWidget(QTableView *view, QWidget *parent = nullptr);

    void addIssue(int row, int column, const QString &text);
    // The window clears it before every validation run and whenever the table re-sorts.
    IssueListModel *model() const;

private slots:
    void showIssue(const QModelIndex &index);

private:
    QPointer<QTableView> m_table;
    QListView *m_view = nullptr;
    IssueListModel *m_model = nullptr;
};
