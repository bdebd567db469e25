#pragma once

#include <QByteArray>

// One exchange as the controller hands it to the link and reads it back.
struct DeviceRequest
{
    enum Op { QueryIdentity = 1, ReadParams, WriteParams, ReadGoodsRange, ReadGoods, WriteGoods };

    int op = 0;
    int result = 0;              // 0 or a negative result code
    QByteArray expectedSerial;   // Latin-1; empty for QueryIdentity
    QByteArray input;
    QByteArray output;
};
