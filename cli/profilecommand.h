#pragma once

#include <QCoreApplication>
#include <QStringList>

// "profile export|import": one register's profile between the settings store
// the windows use and a file, to move it to another workstation.
class ProfileCommand
{
    Q_DECLARE_TR_FUNCTIONS(ProfileCommand)

public:
    static int run(const QStringList &arguments);

private:
    static int exportProfile(const QStringList &arguments);
    static int importProfile(const QStringList &arguments);
};
