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
// Work modes of a 2.52 registration, by bit.
QStringList workModes();
// Display modes, by mode - 1.
QStringList displayModes();
// The names of the bits set in `bits`, bit k named by names[first + k],
// joined with ";"; `none` when no named bit is set.
QString bitNames(int bits, const QStringList &names, int first, const QString &none);

}
