#pragma once

#include <QCoreApplication>
#include <QStringList>

// "backup list|show|restore": the copies the utility takes of a register
// before every write, and putting one back.
class BackupCommand
{
    Q_DECLARE_TR_FUNCTIONS(BackupCommand)

public:
    static int run(const QStringList &arguments);

private:
    static int list(const QStringList &arguments);
    static int show(const QStringList &arguments);
    static int restore(const QStringList &arguments);
};
