#pragma once

#include <QObject>
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
    // lives; every program of the utility sets them before touching it.
    static void setApplicationIdentity();

private:
    std::unique_ptr<QSettings> m_settings;
};
