#pragma once

#include <QString>

// Values one tab needs for another tab's checks, collected for one validation
// run: the device window creates a context, lets every tab write into it with
// DeviceWidget::prepareValidation(), and only then lets every tab validate().
struct ValidationContext
{
    // The OFD INN shown is a valid, non-zero INN: the register works with an OFD.
    bool ofdUsed = false;
    // 0-based index of the default cashier among the users.
    int defaultCashier = 0;
    // The organisation INN as shown.
    QString orgInn;
};
