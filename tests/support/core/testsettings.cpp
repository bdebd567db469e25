#include "tests/support/core/testsettings.h"

#include "params/appsettings.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>

TestSettings::TestSettings()
{
    AppSettings::setApplicationIdentity();
    // On Linux the native format is an INI file below this path.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_dir.path() + QStringLiteral("/system"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_dir.path() + QStringLiteral("/system"));
    // QStandardPaths follows the XDG variables on every call.
    m_hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    m_previousDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/data")));
}

TestSettings::~TestSettings()
{
    // Leave nothing pointing at a folder that is about to disappear.
    const QString dead = m_dir.path() + QStringLiteral("/gone");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dead);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dead);
    if (m_hadDataHome)
        qputenv("XDG_DATA_HOME", m_previousDataHome);
    else
        qunsetenv("XDG_DATA_HOME");
}

QString TestSettings::dataPath() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString TestSettings::fileName() const
{
    return QSettings().fileName();
}

QString TestSettings::path() const
{
    return m_dir.path();
}
