#pragma once

#include <QString>

// What a register said about itself in the latest exchange, also when the
// session then refused to go on with it.
struct RegisterIdentity
{
    QString serial;
    int major = 0;
    int minor = 0;
    int build = 0;
    QString version;  // "%1.%2.%3"
    int goodsCapacity = 0;
    int paramsSize = 0;  // bytes of its params, system and goods areas
    int systemSize = 0;
    int goodsSize = 0;
    bool known = false;  // the register identified itself
};
