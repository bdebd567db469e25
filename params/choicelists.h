#pragma once

#include <QStringList>

// The fixed lists of choices several editor tables show. Kept in one place so
// the 2.52 and 2.53 pages name the same codes with the same words.
namespace ChoiceLists {

// Tax systems, by list index: 0 is "none", index k (1..6) stands for bit k - 1.
QStringList taxSystems();
// User rights, by rights code - 1.
QStringList userRights();
// VAT rates, by rate code - 1.
QStringList vatRates();

}
