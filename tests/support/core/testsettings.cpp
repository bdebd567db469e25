#include "tests/support/core/testsettings.h"

#include "params/appsettings.h"

#include <QSettings>

TestSettings::TestSettings()
{
    AppSettings::setApplicationIdentity();
    AppSettings::useFolder(m_dir.path());
}

TestSettings::~TestSettings()
{
    // Leave nothing pointing at a folder that is about to disappear.
    AppSettings::useFolder(m_dir.path() + QStringLiteral("/gone"));
}

QString TestSettings::dataPath() const
{
    return AppSettings::dataFolder();
}

QString TestSettings::fileName() const
{
    return QSettings().fileName();
}

QString TestSettings::path() const
{
    return m_dir.path();
}
