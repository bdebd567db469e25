#pragma once

#include "link/seriallocation.h"

#include <QByteArray>

#include <functional>

class DeviceNet;

// One exchange as the controller hands it to the link and reads it back.
struct DeviceRequest
{
    enum Op { QueryIdentity = 1, ReadParams, WriteParams, ReadGoodsRange, ReadGoods, WriteGoods };
    // Runs on the link's thread with the register identified and its header
    // and serial number read; 0 lets the exchange go on, anything else ends
    // it with that result. It may drive the link's primitives itself.
    using Step = std::function<int(DeviceNet &net)>;

    int op = 0;
    int result = 0;              // 0 or a negative result code
    QByteArray expectedSerial;   // Latin-1; empty for QueryIdentity
    QByteArray input;
    QByteArray output;
    SerialLocations serialLocations;
    // The owner's own steps around operations 2..6: the first once the
    // register has identified itself, before its serial number is compared
    // and any area is touched; the second after the operation has succeeded.
    Step beforeOperation;
    Step afterOperation;
};
