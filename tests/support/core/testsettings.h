#pragma once

#include <QString>
#include <QTemporaryDir>

// A throw-away settings store for one test: while it lives, every QSettings of
// the process (the utility's AppSettings included) reads and writes a file in a
// fresh temporary folder, never the user's store, and the application's data
// folder (where backups go) lies in that folder too.
class TestSettings
{
public:
    TestSettings();
    ~TestSettings();

    TestSettings(const TestSettings &) = delete;
    TestSettings &operator=(const TestSettings &) = delete;

    // The file the utility's settings land in.
    QString fileName() const;
    QString path() const;
    // The application's data folder while the sandbox lives.
    QString dataPath() const;

private:
    QTemporaryDir m_dir;
};
