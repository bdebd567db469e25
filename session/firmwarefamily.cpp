#include "session/firmwarefamily.h"

#include "link/taggedblock.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "session/firmwareversion.h"

namespace {

constexpr int SupportedMajor = 2;

}

FirmwareFamily::FirmwareFamily(Id id, int minor, int minimumBuild, SerialLocation serial, bool paramsWritable)
    : m_id(id)
    , m_minor(minor)
    , m_minimumBuild(minimumBuild)
    , m_serial(serial)
    , m_paramsWritable(paramsWritable)
{
}

QVector<const FirmwareFamily *> FirmwareFamily::all()
{
    // 2.52 keeps its 12-digit serial in its configuration block; builds
    // before 38 lack what the utility relies on. Only 2.53 takes parameters.
    static const FirmwareFamily family252(Id::Family252, 52, 38, {52, 0, 4, 12}, false);
    static const FirmwareFamily family253(Id::Family253, 53, 0, {53, 1, 0, 20}, true);
    return {&family252, &family253};
}

const FirmwareFamily *FirmwareFamily::forMinor(int minor)
{
    for (const FirmwareFamily *family : all()) {
        if (family->m_minor == minor)
            return family;
    }
    return nullptr;
}

const FirmwareFamily *FirmwareFamily::forVersion(const QString &version)
{
    return forMinor(FirmwareVersion::minor(version));
}

QStringList FirmwareFamily::patterns()
{
    QStringList out;
    for (const FirmwareFamily *family : all())
        out << family->pattern();
    return out;
}

bool FirmwareFamily::isSupported(int major, int minor, int build)
{
    const FirmwareFamily *family = forMinor(minor);
    return family && family->accepts(major, minor, build);
}

SerialLocations FirmwareFamily::serialLocations()
{
    SerialLocations out;
    for (const FirmwareFamily *family : all())
        out << family->m_serial;
    return out;
}

QString FirmwareFamily::pattern() const
{
    return QStringLiteral("%1.%2.*").arg(SupportedMajor).arg(m_minor);
}

bool FirmwareFamily::accepts(int major, int minor, int build) const
{
    return major == SupportedMajor && minor == m_minor && build >= m_minimumBuild;
}

std::unique_ptr<DeviceParams> FirmwareFamily::createParams() const
{
    if (m_id == Id::Family252)
        return std::make_unique<DeviceParams52>();
    return std::make_unique<DeviceParams53>();
}

int FirmwareFamily::paramsLayoutSize() const
{
    QByteArray params;
    QByteArray system;
    createParams()->save(params, system);
    return params.size();
}

int FirmwareFamily::systemLayoutSize() const
{
    QByteArray params;
    QByteArray system;
    createParams()->save(params, system);
    return system.size();
}

bool FirmwareFamily::blocksFit(int paramsSize, int systemSize) const
{
    return paramsSize >= paramsLayoutSize() && paramsSize <= TaggedBlock::MaxValueSize
        && systemSize >= systemLayoutSize() && systemSize <= TaggedBlock::MaxValueSize;
}

QVector<FirmwareFamily::PageInfo> FirmwareFamily::pages() const
{
    // Both families show the same eight pages; each page has a class per
    // family where their tables differ.
    return {
        {Page::Config, "configTab", tr("Конфигурация")},
        {Page::Positions, "positionTab", tr("Должности")},
        {Page::Users, "userTab", tr("Пользователи")},
        {Page::Departments, "deptTab", tr("Отделы")},
        {Page::Organisation, "orgTab", tr("Реквизиты организации")},
        {Page::Design, "designTab", tr("Дизайн чека")},
        {Page::Ofd, "ofdTab", tr("Настройки ОФД")},
        {Page::Registration, "registrationTab", tr("Регистрационные данные")},
    };
}
