#pragma once

// Runs the built korvane-cli as a separate process, its settings store in the
// test's throw-away folder.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#ifndef KORVANE_CLI_PATH
#error KORVANE_CLI_PATH must name the korvane-cli binary
#endif

struct CliRun
{
    int status = -1;  // -1: crashed or had to be killed
    QString out;
    QString err;
};

// `home` is the program's settings folder, so its store is the file a
// TestSettings over the same folder shows the test, and its backups land
// where a TestSettings over it looks for them too.
inline void startCli(QProcess &process, const QStringList &arguments, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("KORVANE_CONFIG_DIR"), home);
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KORVANE_CLI_PATH), arguments);
}

inline CliRun runCli(const QStringList &arguments, const QString &home)
{
    QProcess process;
    startCli(process, arguments, home);
    CliRun run;
    if (!process.waitForFinished(60000)) {
        run.err = process.errorString();
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    // Windows consoles end lines with CR LF; the texts are compared by line.
    run.out = QString::fromUtf8(process.readAllStandardOutput()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    run.err = QString::fromUtf8(process.readAllStandardError()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    else
        run.err += QStringLiteral("[crashed, exit code %1]").arg(process.exitCode());
    return run;
}
