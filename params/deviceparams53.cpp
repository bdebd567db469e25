#include "params/deviceparams53.h"

#include "params/paramsimage.h"

namespace {

struct DefaultUser53
{
    const char *name;
    const char *barcode;
    qint8 rights;
};

const DefaultUser53 kDefaultUsers[DeviceParams53::UserCount] = {
    {"Кассир 1", "3000001000037", 1},     {"Кассир 2", "3000001000044", 1},
    {"Кассир 3", "3000001000051", 1},     {"Кассир 4", "3000001000068", 1},
    {"Кассир 5", "3000001000075", 1},     {"Кассир 6", "3000001000082", 1},
    {"Кассир 7", "3000001000099", 1},     {"Кассир 8", "3000001000105", 1},
    {"Кассир 9", "3000001000112", 1},     {"Кассир 10", "3000001000129", 1},
    {"Ст. кассир 1", "3000001000136", 2}, {"Ст. кассир 2", "3000001000143", 2},
    {"Ст. кассир 3", "3000001000150", 2}, {"Ст. кассир 4", "3000001000167", 2},
    {"Админ. 1", "3000029189066", 3},     {"Админ. 2", "3000029189073", 3},
};

}

DeviceParams53::DeviceParams53(QObject *parent)
    : DeviceParams(parent)
{
    addDefaultUsers();
}

void DeviceParams53::addDefaultUsers()
{
    for (int i = 0; i < UserCount; ++i) {
        const DefaultUser53 &d = kDefaultUsers[i];
        UserRecord53 u;
        const QString name = QString::fromUtf8(d.name);
        u.setName(name);
        u.setFullName(name);
        u.setBarcode(QString::fromLatin1(d.barcode));
        u.setPassword(QStringLiteral("738"));
        u.rights = d.rights;
        u.position = 1;
        u.flags = 1;
        // Only the default cashier may open a shift out of the box.
        u.setActive(i + 1 == m_config.defaultCashier);
        m_users.append(u);
    }
}

void DeviceParams53::load(const QString &serial, const QByteArray &params, const QByteArray &system)
{
    Q_UNUSED(system)
    m_registration.setSerial(serial);
    if (params.isEmpty())
        return;
    clearSharedTables();
    m_users.clear();
    m_config = ConfigBlock53::decode(ParamsImage::slice(params, ConfigOffset, 128));
    m_org = OrgBlock53::decode(ParamsImage::slice(params, OrgOffset, OrgBlock53::Size));
    readPositionNames(params);
    readDepartments(params);
    readUsers(params);
    readReceiptTexts(params);
    m_ofd = OfdBlock53::decode(ParamsImage::slice(params, OfdOffset, OfdBlock53::Size));
    m_registration = RegistrationBlock53::decode(ParamsImage::slice(params, RegistrationOffset, PageSize));
}

void DeviceParams53::save(QByteArray &params, QByteArray &system)
{
    Q_UNUSED(system)
    ParamsImage::write(params, ConfigOffset, m_config.encode());
    m_org.writeInto(params, OrgOffset);
    writePositionNames(params);
    writeDepartments(params);
    writeUsers(params);
    writeReceiptTexts(params);
    m_ofd.writeInto(params, OfdOffset);
    ParamsImage::write(params, RegistrationOffset, m_registration.encode());
}

void DeviceParams53::readUsers(const QByteArray &params)
{
    const QByteArray slice = ParamsImage::slice(params, UsersOffset, 2048);
    for (int i = 0; i < UserCount; ++i)
        m_users.append(UserRecord53::decode(slice.mid(i * UserRecord53::Size, UserRecord53::Size)));
}

void DeviceParams53::writeUsers(QByteArray &params) const
{
    QByteArray bytes;
    for (int i = 0; i < UserCount; ++i)
        bytes.append(m_users.value(i).encode());
    ParamsImage::write(params, UsersOffset, bytes);
}
