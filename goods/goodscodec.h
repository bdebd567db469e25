#pragma once

#include "goods/goodsitem.h"

#include <QByteArray>

// The goods image: records 1..n in table order, one end marker, and a second
// end marker when n is odd, so the image fills whole 256-byte pages. With
// `withHeader` an all-zero header record leads (the goods area image written
// to the register). n must stay below 32767, the largest record number.
QByteArray encodeGoods(const GoodsList &goods, bool withHeader);

// Records from the start of `bytes` (without header record) up to an end
// marker or the end of the data; a cut-short last record reads as if padded
// with zeros.
GoodsList decodeGoods(const QByteArray &bytes);
