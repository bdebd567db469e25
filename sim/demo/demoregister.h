#pragma once

#include "goods/goodsitem.h"

#include <QByteArray>
#include <QString>

class RegisterSimulator;

// The contents of a demonstration register: filled tables and a short goods
// list, written into a simulator's storage through the utility's own codecs.
class DemoRegister
{
public:
    static GoodsList sampleGoods();

    // Replaces the params (and, for 2.52, system) area and the goods area of
    // the simulator; keeps its serial number.
    static bool fill(RegisterSimulator &sim, QString *error);

private:
    static bool fill253(RegisterSimulator &sim, QString *error);
    static bool fill252(RegisterSimulator &sim, QString *error);
};
