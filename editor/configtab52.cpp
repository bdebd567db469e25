#include "editor/configtab52.h"

#include "params/deviceparams52.h"

ConfigTab52::ConfigTab52(QWidget *parent)
    : ConfigTabBase(1, 4, parent)
{
}

void ConfigTab52::loadParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;

    // Hidden users are listed too, so that a list index is a record number.
    QStringList users;
    for (const UserRecord52 &user : set->users())
        users << user.name();
    QStringList depts;
    for (const DeptRecord &dept : set->departments())
        depts << dept.name();

    const ConfigBlock52 &c = set->config();
    loadCommon(c, users, depts);
    // The user number sits in the low byte of the word.
    setDefaultCashierIndex((c.defaultCashier & 0xFF) - 1);
    loadFlags(c.tradeFlags, c.printFlags, c.smallFont & 1);
}

void ConfigTab52::storeParams(DeviceParams *params)
{
    auto *set = qobject_cast<DeviceParams52 *>(params);
    if (!set)
        return;
    ConfigBlock52 &c = set->config();
    storeCommon(c);
    c.defaultCashier = static_cast<qint16>(defaultCashierIndex() + 1);
    c.smallFont = smallFontChecked() ? 1 : 0;
    c.printFlags = printBits();
    c.tradeFlags = tradeBits();
}
