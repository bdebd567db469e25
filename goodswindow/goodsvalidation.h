#pragma once

class GoodsIssueWidget;
class QAbstractItemModel;

// The window's check: checkGoods() over the rows of `model` (the view's
// model, so reported rows are view rows), each problem added to `issues`.
void validateGoods(const QAbstractItemModel *model, int departmentCount, int capacity,
                   GoodsIssueWidget *issues);
