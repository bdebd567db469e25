#pragma once

#include "widgets/issuedock.h"

#include <QPointer>

class QTableView;

// The "Проблемы" dock of the goods window. A double click on a problem selects
// the offending cell of the goods table.
class GoodsIssueWidget : public IssueDock
{
    Q_OBJECT

public:
    // `view` is the window's goods table (not owned); issues address cells of its model.
    explicit GoodsIssueWidget(QTableView *view, QWidget *parent = nullptr);

    void addIssue(int row, int column, const QString &text);
    // The window also clears model() whenever the table re-sorts.

protected:
    void showIssue(const QSharedPointer<Issue> &issue) override;

private:
    QPointer<QTableView> m_table;
};
