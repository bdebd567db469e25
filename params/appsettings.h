#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QSettings;

// The only door to the settings store. Short-lived: one per operation, so the
// store is opened afresh each time and written back when this goes away.
class AppSettings : public QObject
{
public:
    explicit AppSettings(QObject *parent = nullptr);
    ~AppSettings() override;

    QSettings *settings() const;

    // The organisation and application names that decide where the store
    // lives; every program of the utility sets them before touching it. When
    // the environment names a folder in "KORVANE_CONFIG_DIR", that folder is
    // used (useFolder()).
    static void setApplicationIdentity();

    // Keeps the settings store and the backups in `dir` instead of the
    // user's own: tests, the demonstration, a copy run from a removable
    // drive. On Windows this is a settings file instead of the registry.
    static void useFolder(const QString &dir);
    // Where the backups and other data files live.
    static QString dataFolder();

private:
    std::unique_ptr<QSettings> m_settings;
};
