#pragma once

#include <QVector>

// Where a register keeps its serial number: `length` bytes from `offset` of
// page `page` of its params area, up to the first zero byte. The link learns
// a register's family only from its identify reply, so it is handed the
// location of every family and takes the one for the minor number reported.
struct SerialLocation
{
    int minor = 0;  // the family's minor version number
    int page = 0;   // counted from the first page of the params area
    int offset = 0;
    int length = 0;
};

using SerialLocations = QVector<SerialLocation>;
