#include "params/deviceparams52.h"

#include "params/paramsimage.h"

namespace {

struct DefaultUser52
{
    const char *name;
    const char *barcode;
    qint8 rights;
    quint16 flags;
};

const DefaultUser52 kDefaultUsers[DeviceParams52::UserCount] = {
    {"Кассир 1", "300000100003", 1, 0},
    {"Кассир 2", "300000100004", 1, 0},
    {"Кассир 3", "300000100005", 1, 0},
    {"Кассир 4", "300000100006", 1, 0},
    {"Ст. кассир 1", "300000100007", 2, 0},
    {"Ст. кассир 2", "300000100008", 2, 0},
    {"Админ. 1", "300002918906", 3, UserRecord52::ActiveFlag},
    // The register ships with this eleven-digit code; it is kept as it is.
    {"Админ. 2", "30002918906", 3, 0},
    {"АСЦ", "", 4, UserRecord52::HiddenFlag},
};

const qint32 kDefaultUserValue = 1029384756;
const int kUsersSlice = 512;

}

DeviceParams52::DeviceParams52(QObject *parent)
    : DeviceParams(parent)
{
    addDefaultUsers();
}

void DeviceParams52::addDefaultUsers()
{
    for (int i = 0; i < UserCount; ++i) {
        const DefaultUser52 &d = kDefaultUsers[i];
        UserRecord52 u;
        u.number = static_cast<qint8>(i + 1);
        u.rights = d.rights;
        u.setBarcode(QString::fromLatin1(d.barcode));
        u.flags = d.flags;
        u.setName(QString::fromUtf8(d.name));
        u.kept25 = kDefaultUserValue;
        u.position = 1;
        m_users.append(u);
    }
}

void DeviceParams52::load(const QString &serial, const QByteArray &params, const QByteArray &system)
{
    m_config.setSerial(serial);
    if (params.isEmpty())
        return;
    clearSharedTables();
    m_users.clear();
    m_history.clear();
    m_config = ConfigBlock52::decode(ParamsImage::slice(params, ConfigOffset, 128));
    m_org = OrgBlock52::decode(ParamsImage::slice(params, OrgOffset, OrgBlock52::Size));
    readPositionNames(params);
    readDepartments(params);
    readUsers(params);
    readReceiptTexts(params);
    m_ofd = OfdBlock52::decode(ParamsImage::slice(params, OfdOffset, PageSize));
    readHistory(system);
}

void DeviceParams52::save(QByteArray &params, QByteArray &system)
{
    ParamsImage::write(params, ConfigOffset, m_config.encode());
    m_org.writeInto(params, OrgOffset);
    writePositionNames(params);
    writeDepartments(params);
    writeUsers(params);
    writeReceiptTexts(params);
    ParamsImage::write(params, OfdOffset, m_ofd.encode());
    writeHistory(system);
}

void DeviceParams52::readUsers(const QByteArray &params)
{
    const QByteArray slice = ParamsImage::slice(params, UsersOffset, kUsersSlice);
    for (int i = 0; i < UserCount; ++i)
        m_users.append(UserRecord52::decode(slice.mid(i * UserRecord52::Size, UserRecord52::Size)));
}

void DeviceParams52::writeUsers(QByteArray &params) const
{
    QByteArray bytes;
    for (int i = 0; i < UserCount; ++i)
        bytes.append(m_users.value(i).encode());
    ParamsImage::write(params, UsersOffset, bytes);
}

void DeviceParams52::readHistory(const QByteArray &system)
{
    // The history is written front to back; the first unused slot ends it.
    for (int i = 0; i < HistorySlots; ++i) {
        const RegistrationRecord52 r = RegistrationRecord52::decode(
            ParamsImage::slice(system, i * RegistrationRecord52::Size, RegistrationRecord52::Size));
        if (!r.isUsed())
            break;
        m_history.append(r);
    }
}

void DeviceParams52::writeHistory(QByteArray &system) const
{
    QByteArray bytes;
    for (int i = 0; i < HistorySlots; ++i) {
        if (i < m_history.size())
            bytes.append(m_history.at(i).encode());
        else
            bytes.append(QByteArray(RegistrationRecord52::Size, '\0'));
    }
    ParamsImage::write(system, 0, bytes);
}
