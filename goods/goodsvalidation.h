#pragma once

class GoodsIssueWidget;
class QAbstractItemModel;

// Checks the goods as the view shows them (`model` is the view's model, so
// rows are view rows) and reports each problem to `issues`: first the row
// limit (the register holds at most capacity − 1 rows), then per row the
// name, internal code, barcode and department. Prices are not checked.
void validateGoods(const QAbstractItemModel *model, int departmentCount, int capacity,
                   GoodsIssueWidget *issues);
