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

private:
    std::unique_ptr<QSettings> m_settings;
};
