#pragma once

#include "link/seriallocation.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class DeviceParams;

// Everything that sets one firmware family apart, in one place: which
// versions it takes, its parameter set, its editor pages, where its serial
// number lies and whether its parameters may be written. A version text
// belongs to a family by its minor number alone; registration is stricter.
class FirmwareFamily
{
    Q_DECLARE_TR_FUNCTIONS(FirmwareFamily)

public:
    enum class Id { Family252, Family253 };
    // The editor pages in the order the device window shows them.
    enum class Page { Config, Positions, Users, Departments, Organisation, Design, Ofd, Registration };

    struct PageInfo
    {
        Page page;
        const char *objectName;
        QString title;
    };

    // Null when the minor number names no family.
    static const FirmwareFamily *forMinor(int minor);
    // By the second dot-separated number of "2.53.10" or "2.53.*".
    static const FirmwareFamily *forVersion(const QString &version);
    static QVector<const FirmwareFamily *> all();
    // "2.52.*", "2.53.*": the choices of an offline registration.
    static QStringList patterns();
    // A register reporting this version may be registered and talked to.
    static bool isSupported(int major, int minor, int build);
    // The serial number's place in every family, for the link.
    static SerialLocations serialLocations();

    Id id() const { return m_id; }
    int minor() const { return m_minor; }
    QString pattern() const;
    bool accepts(int major, int minor, int build) const;
    // The family's parameter set with its defaults.
    std::unique_ptr<DeviceParams> createParams() const;
    SerialLocation serialLocation() const { return m_serial; }
    // The smallest params image and system block that hold every table of
    // the family (its defaults written out).
    int paramsLayoutSize() const;
    int systemLayoutSize() const;
    // Blocks of these sizes, a register's areas or a file's, carry the
    // family's tables and can travel in one tagged item each.
    bool blocksFit(int paramsSize, int systemSize) const;
    bool paramsWritable() const { return m_paramsWritable; }
    QVector<PageInfo> pages() const;

private:
    FirmwareFamily(Id id, int minor, int minimumBuild, SerialLocation serial, bool paramsWritable);

    Id m_id;
    int m_minor;
    int m_minimumBuild;
    SerialLocation m_serial;
    bool m_paramsWritable;
};
