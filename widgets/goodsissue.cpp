#include "widgets/goodsissue.h"

GoodsIssue::GoodsIssue(int row, int column, const QString &text)
    : Issue(text)
    , row(row)
    , column(column)
{
}
