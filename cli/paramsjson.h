#pragma once

#include <QJsonObject>

class DeviceParams;
class DeviceParams52;
class DeviceParams53;

// Every table the editor tabs show, as JSON with stable member names, so that
// two registers can be compared with any diff tool. Codes (rights, VAT rate,
// tax system, display and trade modes) are the numbers the register stores;
// references (department, cashier, position) count from 1 as in the tables.
class ParamsJson
{
public:
    // The family's tables; an empty object for a set of neither family.
    static QJsonObject tables(const DeviceParams &params);

private:
    static QJsonObject tables53(const DeviceParams53 &params);
    static QJsonObject tables52(const DeviceParams52 &params);
    static void addShared(QJsonObject &object, const DeviceParams &params);
};
