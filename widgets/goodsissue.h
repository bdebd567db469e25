#pragma once

#include "widgets/issue.h"

// A problem in one cell of the goods table. Row and column are those of the
// goods view's model (the sorting proxy), so they hold only until it re-sorts.
class GoodsIssue : public Issue
{
public:
    GoodsIssue(int row, int column, const QString &text);

    int row = 0;
    int column = 0;
};
