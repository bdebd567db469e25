#pragma once

#include <QCoreApplication>
#include <QStringList>

// korvane-cli's commands: picks the command from the first argument and
// returns the process's exit status (clistatus.h).
class CliApplication
{
    Q_DECLARE_TR_FUNCTIONS(CliApplication)

public:
    // `arguments` without the program name.
    static int run(const QStringList &arguments);
    static QString helpText();
};
