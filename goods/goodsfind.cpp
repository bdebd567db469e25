#include "goods/goodsfind.h"

#include "goods/goodstablemodel.h"

#include <QAbstractItemModel>

namespace {

bool matches(const QAbstractItemModel &model, int row, const QString &text)
{
    for (int column : {GoodsTableModel::NameColumn, GoodsTableModel::IntcodeColumn,
                       GoodsTableModel::BarcodeColumn}) {
        const QString cell = model.data(model.index(row, column), Qt::EditRole).toString();
        if (cell.contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

int findGoodsRow(const QAbstractItemModel &model, const QString &text, int from, bool forward)
{
    const int rows = model.rowCount();
    if (text.isEmpty() || rows == 0)
        return -1;
    const int step = forward ? 1 : rows - 1;
    int row = from < 0 || from >= rows ? (forward ? rows - 1 : 0) : from;
    for (int i = 0; i < rows; ++i) {
        row = (row + step) % rows;
        if (matches(model, row, text))
            return row;
    }
    return -1;
}
