#include "params/deviceregistry.h"

#include "params/appsettings.h"

#include <QSettings>

#include <algorithm>

namespace {
const char *const kArray = "devices";
const char *const kSerial = "serial";
const char *const kName = "name";
const char *const kVersion = "version";
const char *const kAddr = "addr";

// The number of positions worth reading: the size entry, but not beyond the
// last element the store really holds. A hand-edited size of a million over
// an empty array would otherwise become a million empty rows. Called inside
// the array, whose element groups are named 1, 2, ...
int storedCount(QSettings *s, int size)
{
    int last = 0;
    const QStringList groups = s->childGroups();
    for (const QString &group : groups) {
        bool ok = false;
        const int position = group.toInt(&ok);
        if (ok && position <= size)
            last = std::max(last, position);
    }
    return last;
}
}

DeviceRegistry::DeviceRegistry(QObject *parent)
    : QObject(parent)
{
    AppSettings app;
    QSettings *s = app.settings();
    const int count = storedCount(s, s->beginReadArray(QLatin1String(kArray)));
    m_devices.reserve(count);
    for (int i = 0; i < count; ++i) {
        s->setArrayIndex(i);
        DeviceRecord r;
        r.serial = s->value(QLatin1String(kSerial)).toString();
        r.name = s->value(QLatin1String(kName)).toString();
        r.version = s->value(QLatin1String(kVersion)).toString();
        r.addr = s->value(QLatin1String(kAddr)).toString();
        m_devices.append(r);
    }
    s->endArray();
    m_modified = false;
}

DeviceRegistry::~DeviceRegistry()
{
    if (m_modified)
        save();
}

void DeviceRegistry::save()
{
    AppSettings app;
    QSettings *s = app.settings();
    s->beginWriteArray(QLatin1String(kArray));
    for (int i = 0; i < m_devices.size(); ++i) {
        const DeviceRecord &r = m_devices.at(i);
        s->setArrayIndex(i);
        s->setValue(QLatin1String(kSerial), r.serial);
        s->setValue(QLatin1String(kName), r.name);
        s->setValue(QLatin1String(kVersion), r.version);
        s->setValue(QLatin1String(kAddr), r.addr);
    }
    s->endArray();
    m_modified = false;
}

void DeviceRegistry::registerDevice(const QString &serial, const QString &version,
                                    const QString &name, const QString &addr)
{
    const QString shownName = name.isEmpty() ? serial : name;
    if (DeviceRecord *r = find(serial)) {
        r->version = version;
        r->addr = addr;
        r->name = shownName;
    } else {
        m_devices.append({serial, shownName, version, addr});
    }
    touch();
}

void DeviceRegistry::setVersion(const QString &serial, const QString &version)
{
    if (DeviceRecord *r = find(serial)) {
        r->version = version;
        touch();
    }
}

void DeviceRegistry::setAddress(const QString &serial, const QString &addr)
{
    if (DeviceRecord *r = find(serial)) {
        r->addr = addr;
        touch();
    }
}

void DeviceRegistry::remove(const QString &serial)
{
    const int before = m_devices.size();
    m_devices.erase(std::remove_if(m_devices.begin(), m_devices.end(),
                                   [&](const DeviceRecord &r) { return r.serial == serial; }),
                    m_devices.end());
    if (m_devices.size() != before)
        touch();
}

const QVector<DeviceRecord> &DeviceRegistry::devices() const
{
    return m_devices;
}

bool DeviceRegistry::isModified() const
{
    return m_modified;
}

DeviceRecord *DeviceRegistry::find(const QString &serial)
{
    auto it = std::find_if(m_devices.begin(), m_devices.end(),
                           [&](const DeviceRecord &r) { return r.serial == serial; });
    return it == m_devices.end() ? nullptr : &*it;
}

void DeviceRegistry::touch()
{
    m_modified = true;
    emit changed();
}
