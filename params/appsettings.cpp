#include "appsettings.h"

#include <QSettings>

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
