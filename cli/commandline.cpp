#include "cli/commandline.h"

#include "cli/clistatus.h"
#include "cli/console.h"
#include "link/dottedquad.h"
#include "link/registerdefaults.h"

CommandLine::CommandLine(const QString &command, const QString &description)
    : m_command(command)
{
    m_parser.setApplicationDescription(description);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                          tr("Показать эту справку.")));
}

void CommandLine::addArgument(const QString &name, const QString &description)
{
    // The first argument's syntax also names the command, so the usage line
    // reads "korvane-cli params read [options] ADDRESS".
    const QString syntax = m_arguments == 0 && !m_command.isEmpty() ? m_command + QLatin1Char(' ') + name : name;
    m_parser.addPositionalArgument(name, description, syntax);
    ++m_arguments;
}

void CommandLine::addAddressArgument()
{
    m_addressArgument = m_arguments;
    addArgument(QStringLiteral("ADDRESS"), tr("IP-адрес ККТ."));
}

void CommandLine::addPortOption()
{
    addNumberOption(QStringLiteral("port"), tr("TCP-порт ККТ (по умолчанию %1).").arg(RegisterDefaults::TcpPort),
                    RegisterDefaults::TcpPort);
}

void CommandLine::addSerialOption(bool required)
{
    m_parser.addOption(QCommandLineOption(QStringLiteral("serial"),
                                          tr("Заводской номер ККТ; обмен идёт только с ККТ с этим номером."),
                                          QStringLiteral("S")));
    if (required)
        m_required << QStringLiteral("serial");
}

void CommandLine::addJsonOption()
{
    addFlag(QStringLiteral("json"), tr("Вывод в формате JSON для сценариев."));
}

void CommandLine::addFileOption(const QString &name, const QString &description)
{
    m_parser.addOption(QCommandLineOption(name, description, QStringLiteral("FILE")));
    m_required << name;
}

void CommandLine::addFlag(const QString &name, const QString &description)
{
    m_parser.addOption(QCommandLineOption(name, description));
}

void CommandLine::addListOption(const QString &name, const QString &valueName, const QString &description)
{
    m_parser.addOption(QCommandLineOption(name, description, valueName));
}

void CommandLine::addNumberOption(const QString &name, const QString &description, int defaultValue)
{
    m_parser.addOption(QCommandLineOption(name, description, QStringLiteral("N"), QString::number(defaultValue)));
    m_numbers << name;
}

bool CommandLine::parse(const QStringList &arguments, int *status)
{
    // QCommandLineParser takes the program name first.
    if (!m_parser.parse(QStringList{QCoreApplication::applicationName()} + arguments)) {
        *status = usageError(m_parser.errorText());
        return false;
    }
    if (m_parser.isSet(QStringLiteral("help"))) {
        Console::out(m_parser.helpText().trimmed());
        *status = StatusOk;
        return false;
    }
    const int given = m_parser.positionalArguments().size();
    if (given != m_arguments) {
        *status = usageError(given < m_arguments ? tr("Не хватает аргументов") : tr("Лишние аргументы"));
        return false;
    }
    if (m_addressArgument >= 0 && !isAddress(argument(m_addressArgument))) {
        *status = usageError(tr("неверный адрес %1").arg(argument(m_addressArgument)));
        return false;
    }
    for (const QString &name : qAsConst(m_required)) {
        if (value(name).isEmpty()) {
            *status = usageError(tr("Не задан параметр --%1").arg(name));
            return false;
        }
    }
    for (const QString &name : qAsConst(m_numbers)) {
        bool ok = false;
        const int n = value(name).toInt(&ok);
        if (!ok || n < 0 || (name == QLatin1String("port") && (n < 1 || n > 65535))) {
            *status = usageError(tr("Недопустимое значение --%1: %2").arg(name, value(name)));
            return false;
        }
    }
    if (m_numbers.contains(QLatin1String("port")))
        m_port = quint16(value(QStringLiteral("port")).toUInt());
    return true;
}

int CommandLine::dispatch(const QString &group, const QStringList &arguments, const Subcommands &subcommands)
{
    const QString name = arguments.value(0);
    QStringList names;
    for (const auto &subcommand : subcommands) {
        if (name == QLatin1String(subcommand.first))
            return subcommand.second(arguments.mid(1));
        names << QLatin1String(subcommand.first);
    }
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
        Console::out(tr("korvane-cli %1 %2 ... (подробнее: korvane-cli %1 %3 --help)")
                         .arg(group, names.join(QLatin1Char('|')), names.value(0)));
        return StatusOk;
    }
    Console::error(tr("%1: неизвестная команда \"%2\"; есть %3").arg(group, name, names.join(QStringLiteral(", "))));
    return StatusUsage;
}

bool CommandLine::isAddress(const QString &text)
{
    return DottedQuad::parse(text);
}

int CommandLine::usageError(const QString &text) const
{
    Console::error(tr("%1: %2. Справка: korvane-cli %1 --help").arg(m_command, text));
    return StatusUsage;
}
