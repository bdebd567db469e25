#include "params/deviceprofile.h"

#include "params/appsettings.h"

#include <QSettings>

#include <limits>

namespace {

const char *const kGroup = "profiles";

// An empty block is never stored: it removes what an earlier save left.
void setOrRemove(QSettings *s, const char *key, const QByteArray &value)
{
    if (value.isEmpty())
        s->remove(QLatin1String(key));
    else
        s->setValue(QLatin1String(key), value);
}

// The variant's own conversion wraps numbers outside int ("99999999999" reads
// as 1215752191); a value that is no int at all reads as missing.
int storedInt(const QVariant &value)
{
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return 0;
    return int(number);
}

}

DeviceProfile::DeviceProfile(QObject *parent)
    : QObject(parent)
{
}

void DeviceProfile::save(const QString &name, const QString &version, int goodsCap,
                         const QByteArray &params, const QByteArray &system)
{
    if (name.isEmpty())
        return;
    AppSettings app;
    QSettings *s = app.settings();
    s->beginGroup(QLatin1String(kGroup));
    s->beginGroup(name);
    s->setValue(QStringLiteral("version"), version);
    s->setValue(QStringLiteral("goods-cap"), goodsCap);
    setOrRemove(s, "params", params);
    setOrRemove(s, "system", system);
    s->endGroup();
    s->endGroup();
}

void DeviceProfile::load(const QString &name, QString &version, int &goodsCap,
                         QByteArray &params, QByteArray &system)
{
    AppSettings app;
    QSettings *s = app.settings();
    s->beginGroup(QLatin1String(kGroup));
    s->beginGroup(name);
    version = s->value(QStringLiteral("version")).toString();
    goodsCap = storedInt(s->value(QStringLiteral("goods-cap")));
    params = s->value(QStringLiteral("params")).toByteArray();
    system = s->value(QStringLiteral("system")).toByteArray();
    s->endGroup();
    s->endGroup();
}

void DeviceProfile::saveGoods(const QString &name, const QByteArray &goods)
{
    if (name.isEmpty())
        return;
    AppSettings app;
    QSettings *s = app.settings();
    s->beginGroup(QLatin1String(kGroup));
    s->beginGroup(name);
    setOrRemove(s, "goods", goods);
    s->endGroup();
    s->endGroup();
}

void DeviceProfile::loadGoods(const QString &name, QByteArray &goods)
{
    AppSettings app;
    QSettings *s = app.settings();
    s->beginGroup(QLatin1String(kGroup));
    s->beginGroup(name);
    goods = s->value(QStringLiteral("goods")).toByteArray();
    s->endGroup();
    s->endGroup();
}

void DeviceProfile::remove(const QString &name)
{
    // Removing the empty key inside the group would remove every profile.
    if (name.isEmpty())
        return;
    AppSettings app;
    QSettings *s = app.settings();
    s->beginGroup(QLatin1String(kGroup));
    s->remove(name);
    s->endGroup();
}
