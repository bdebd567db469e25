#include "params/appsettings.h"

#include <QCoreApplication>
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

void AppSettings::setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Korvane Engineering"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("korvane.ru"));
    QCoreApplication::setApplicationName(QStringLiteral("KorvaneUtility3"));
}
