#include "tests/support/core/testsettings.h"

#include "params/appsettings.h"

#include <QSettings>

TestSettings::TestSettings()
{
    AppSettings::setApplicationIdentity();
    // On Linux the native format is an INI file below this path.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_dir.path() + QStringLiteral("/system"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_dir.path() + QStringLiteral("/system"));
}

TestSettings::~TestSettings()
{
    // Leave nothing pointing at a folder that is about to disappear.
    const QString dead = m_dir.path() + QStringLiteral("/gone");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dead);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dead);
}

QString TestSettings::fileName() const
{
    return QSettings().fileName();
}

QString TestSettings::path() const
{
    return m_dir.path();
}
