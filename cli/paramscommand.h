#pragma once

#include <QCoreApplication>
#include <QStringList>

#include <memory>

class CommandLine;
class DeviceParams;
class ProfileFile;

// "params read|write|show|check": the parameter tables of one register.
class ParamsCommand
{
    Q_DECLARE_TR_FUNCTIONS(ParamsCommand)

public:
    static int run(const QStringList &arguments);

private:
    static int read(const QStringList &arguments);
    static int write(const QStringList &arguments);
    static int show(const QStringList &arguments);
    static int check(const QStringList &arguments);

    // The parameters of FILE|ADDRESS (the first argument): from a file of
    // ours, or read from the register at that address.
    static int fetch(const CommandLine &line, ProfileFile *source);
    // The FILE|ADDRESS argument and its options, then fetch(); false when the
    // command ends here with *status (after --help, 0).
    static bool parseAndFetch(CommandLine &line, const QStringList &arguments, ProfileFile *source, int *status);
    // The set of the source's family (fetch() made sure it has one), loaded.
    static std::unique_ptr<DeviceParams> loaded(const ProfileFile &source);
    static int preflightWrite(const CommandLine &line, const ProfileFile &file);
};
