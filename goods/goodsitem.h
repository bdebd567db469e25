#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// One article of a register's goods table.
struct GoodsItem
{
    QString name;       // at most 84 characters on the register
    QString intcode;    // internal code, 1 to 5 decimal digits
    QString barcode;    // EAN-8, 12-digit UPC-A or EAN-13 digits, or empty
    double price = 0.0; // currency units; the register keeps whole cents
    int dept = 1;       // 1-based department number

    bool operator==(const GoodsItem &other) const;
    bool operator!=(const GoodsItem &other) const { return !(*this == other); }
};

using GoodsList = QVector<GoodsItem>;

Q_DECLARE_METATYPE(GoodsItem)
