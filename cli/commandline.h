#pragma once

#include "link/registerdefaults.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// The options and arguments of one command, with the conventions every
// command shares: --help, --port, --serial, --json, exact argument counts and
// usage errors reported on standard error.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    // `command` is how the user typed it ("params read"), for the help text.
    CommandLine(const QString &command, const QString &description);

    void addArgument(const QString &name, const QString &description);
    // ADDRESS, checked by parse() to be an IPv4 address.
    void addAddressArgument();
    void addPortOption();
    void addSerialOption(bool required = true);
    void addJsonOption();
    void addFileOption(const QString &name, const QString &description);
    void addFlag(const QString &name, const QString &description);
    void addListOption(const QString &name, const QString &valueName, const QString &description);
    void addNumberOption(const QString &name, const QString &description, int defaultValue);

    // False when the command must not run; *status is then 0 after --help and
    // StatusUsage after an error.
    bool parse(const QStringList &arguments, int *status);

    QString argument(int index) const { return m_parser.positionalArguments().value(index); }
    QString value(const QString &name) const { return m_parser.value(name); }
    QStringList values(const QString &name) const { return m_parser.values(name); }
    bool isSet(const QString &name) const { return m_parser.isSet(name); }
    quint16 port() const { return m_port; }
    QString serial() const { return value(QStringLiteral("serial")); }
    bool json() const { return isSet(QStringLiteral("json")); }
    int number(const QString &name) const { return value(name).toInt(); }

    using Handler = int (*)(const QStringList &arguments);
    using Subcommands = std::vector<std::pair<const char *, Handler>>;
    // Runs the subcommand named by the first argument ("params read ...")
    // with the remaining arguments.
    static int dispatch(const QString &group, const QStringList &arguments, const Subcommands &subcommands);

    // Dotted-decimal IPv4 text, four parts of 0..255 without leading zeros.
    static bool isAddress(const QString &text);
    // Reports a usage error and returns StatusUsage.
    int usageError(const QString &text) const;

private:
    QCommandLineParser m_parser;
    QString m_command;
    QStringList m_required;   // options that must be given
    QStringList m_numbers;    // options that must be whole numbers
    int m_arguments = 0;
    int m_addressArgument = -1;
    quint16 m_port = RegisterDefaults::TcpPort;
};
