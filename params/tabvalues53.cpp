#include "params/tabvalues53.h"

#include "params/deviceparams53.h"

#include <QtGlobal>

OrgValues53 OrgValues53::fromSet(const DeviceParams53 &set)
{
    const OrgBlock53 &org = set.org();
    OrgValues53 v;
    v.inn = org.inn().left(InnMax);
    v.name = org.name().left(TextMax);
    v.address = org.address().left(TextMax);
    v.place = org.place().left(TextMax);
    v.email = org.email().left(EmailMax);
    return v;
}

OfdValues53 OfdValues53::fromSet(const DeviceParams53 &set)
{
    const OfdBlock53 &ofd = set.ofd();
    OfdValues53 v;
    v.address = ofd.address().left(AddressMax);
    v.port = qBound(PortMin, int(ofd.port), PortMax);
    v.pollTimer = qBound(PollMin, int(ofd.pollTimer), PollMax);
    v.connectTimer = qBound(ConnectMin, int(ofd.connectTimer), ConnectMax);
    v.inn = ofd.inn().left(InnMax);
    v.name = ofd.name().left(TextMax);
    v.checkSite = ofd.checkSite().left(TextMax);
    v.taxSite = ofd.taxSite().left(TextMax);
    return v;
}

RegistrationValues53 RegistrationValues53::fromSet(const DeviceParams53 &set)
{
    const RegistrationBlock53 &reg = set.registration();
    RegistrationValues53 v;
    v.serial = reg.serial().left(SerialMax);
    v.regNumber = reg.regNumber().left(RegNumberMax);
    v.fnNumber = reg.fnNumber().left(FnNumberMax);
    return v;
}

namespace TabValues53 {

QVector<UserRow53> userRows(const DeviceParams53 &set)
{
    QVector<UserRow53> rows;
    const QVector<UserRecord53> &users = set.users();
    for (int i = 0; i < users.size(); ++i) {
        const UserRecord53 &u = users.at(i);
        if (u.isHidden())
            continue;
        UserRow53 row;
        row.name = u.name();
        row.barcode = u.barcode();
        row.inn = u.inn();
        row.fullName = u.fullName();
        row.password = u.password();
        row.rights = u.rights;
        row.position = u.position;
        row.active = u.isActive();
        row.record = i;
        rows.append(row);
    }
    return rows;
}

int defaultCashierIndex(const DeviceParams53 &set)
{
    const int index = set.config().defaultCashier - 1;
    return index >= 0 && index < set.users().size() ? index : -1;
}

}
