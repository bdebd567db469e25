#include "params/appsettings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString &folderData()
{
    static QString folder;
    return folder;
}

}

AppSettings::AppSettings(QObject *parent)
    : QObject(parent)
    , m_settings(std::make_unique<QSettings>())
{
}

AppSettings::~AppSettings() = default;

QSettings *AppSettings::settings() const
{
    return m_settings.get();
}

void AppSettings::setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Korvane Engineering"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("korvane.ru"));
    QCoreApplication::setApplicationName(QStringLiteral("KorvaneUtility3"));
    const QString dir = qEnvironmentVariable("KORVANE_CONFIG_DIR");
    if (!dir.isEmpty())
        useFolder(dir);
}

void AppSettings::useFolder(const QString &dir)
{
    // The native store is a file below this path everywhere but on Windows,
    // where it is the registry and cannot be moved: there the default
    // format, which QSettings() takes, becomes a file too.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, dir + QStringLiteral("/system"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir + QStringLiteral("/system"));
#ifdef Q_OS_WIN
    QSettings::setDefaultFormat(QSettings::IniFormat);
#endif
    folderData() = dir + QStringLiteral("/data");
}

QString AppSettings::dataFolder()
{
    if (!folderData().isEmpty())
        return folderData();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
