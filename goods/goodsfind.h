#pragma once

#include <QString>

class QAbstractItemModel;

// The next row of `model` (the goods view's model, so rows are view rows)
// after `from` whose name, internal code or barcode contains `text`, ignoring
// case; with `forward` false the previous one. The search goes round the end
// of the table; -1 when no row matches. `from` may be -1 (before the first row).
int findGoodsRow(const QAbstractItemModel &model, const QString &text, int from, bool forward);
