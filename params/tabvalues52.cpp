#include "params/tabvalues52.h"

#include "params/deviceparams52.h"

#include <QtGlobal>

OrgValues52 OrgValues52::fromSet(const DeviceParams52 &set)
{
    const OrgBlock52 &org = set.org();
    OrgValues52 v;
    v.inn = org.inn().left(InnMax);
    v.name = org.name().left(TextMax);
    v.address = org.address().left(TextMax);
    return v;
}

OfdValues52 OfdValues52::fromSet(const DeviceParams52 &set)
{
    const OfdBlock52 &ofd = set.ofd();
    OfdValues52 v;
    v.address = ofd.address().left(TextMax);
    v.port = qBound(PortMin, int(ofd.port), PortMax);
    v.pollTimer = qBound(TimerMin, int(ofd.pollTimer), TimerMax);
    v.connectTimer = qBound(TimerMin, int(ofd.connectTimer), TimerMax);
    v.inn = ofd.inn().left(InnMax);
    v.site = ofd.site().left(TextMax);
    return v;
}

namespace TabValues52 {

QVector<UserRow52> userRows(const DeviceParams52 &set)
{
    QVector<UserRow52> rows;
    const QVector<UserRecord52> &users = set.users();
    for (int i = 0; i < users.size(); ++i) {
        const UserRecord52 &u = users.at(i);
        if (u.isHidden())
            continue;
        UserRow52 row;
        row.name = u.name();
        row.rights = u.rights;
        row.barcode = u.barcode();
        row.position = u.position;
        row.active = u.isActive();
        row.record = i;
        rows.append(row);
    }
    return rows;
}

QVector<RegistrationRow52> registrationRows(const DeviceParams52 &set)
{
    QVector<RegistrationRow52> rows;
    for (const RegistrationRecord52 &r : set.history()) {
        RegistrationRow52 row;
        row.dateTime = r.dateTime();
        row.regNumber = r.regNumber();
        row.inn = r.inn();
        row.fnNumber = r.fnNumber();
        row.taxSystems = r.taxSystems;
        row.workModes = r.workModes;
        row.closed = r.closed != 0;
        rows.append(row);
    }
    return rows;
}

}
