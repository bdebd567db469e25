#include "goodswindow/goodsvalidation.h"

#include "goods/goodscheck.h"
#include "goods/goodstablemodel.h"
#include "widgets/goodsissuewidget.h"

#include <QAbstractItemModel>

namespace {

QVariant cell(const QAbstractItemModel *model, int row, int column)
{
    return model->data(model->index(row, column), Qt::EditRole);
}

// The rows as the view shows them, so that reported rows are view rows.
GoodsList viewRows(const QAbstractItemModel *model)
{
    GoodsList goods;
    const int rows = model->rowCount();
    goods.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        GoodsItem item;
        item.name = cell(model, row, GoodsTableModel::NameColumn).toString();
        item.intcode = cell(model, row, GoodsTableModel::IntcodeColumn).toString();
        item.barcode = cell(model, row, GoodsTableModel::BarcodeColumn).toString();
        item.price = cell(model, row, GoodsTableModel::PriceColumn).toDouble();
        item.dept = cell(model, row, GoodsTableModel::DeptColumn).toInt();
        goods.append(item);
    }
    return goods;
}

}

void validateGoods(const QAbstractItemModel *model, int departmentCount, int capacity,
                   GoodsIssueWidget *issues)
{
    if (!model || !issues)
        return;
    const QVector<GoodsProblem> problems = checkGoods(viewRows(model), departmentCount, capacity);
    for (const GoodsProblem &problem : problems)
        issues->addIssue(problem.row, problem.column, problem.text);
}
