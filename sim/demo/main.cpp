// korvane-demo: prepares a demonstration register and a settings store that
// lists it.
//
//   korvane-demo --state FILE [--family 2.53|2.52] [--serial S]
//                [--settings DIR --address A [--name N]] [--reset]
//
// The state file is what korvane-sim --state serves. An existing state file
// is kept (the user's changes survive a restart) unless --reset is given.
// With --settings, the register is added to the registry of the settings
// store below DIR unless it is listed there already.

#include "params/appsettings.h"
#include "params/deviceregistry.h"
#include "sim/demo/demoregister.h"
#include "sim/registersimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

int fail(const QString &text)
{
    QTextStream(stderr) << "korvane-demo: " << text << '\n';
    return 1;
}

QString versionText(const RegisterSimulator &sim)
{
    const quint32 v = sim.version();
    return QStringLiteral("%1.%2.%3").arg(v >> 28).arg((v >> 16) & 0xFFF).arg(v & 0xFFFF);
}

bool prepareState(RegisterSimulator &sim, const QString &path, bool reset, QString *error)
{
    const bool fresh = reset || !QFile::exists(path);
    if (reset)
        QFile::remove(path);
    if (!sim.setStateFile(path)) {
        *error = sim.errorString();
        return false;
    }
    return !fresh || DemoRegister::fill(sim, error);
}

void registerIn(const QString &dir, const RegisterSimulator &sim, const QString &address,
                const QString &name)
{
    AppSettings::useFolder(dir);
    DeviceRegistry registry;
    const QString serial = QString::fromLatin1(sim.serial());
    for (const DeviceRecord &record : registry.devices()) {
        if (record.serial == serial)
            return;
    }
    registry.registerDevice(serial, versionText(sim), name, address);
    registry.save();
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AppSettings::setApplicationIdentity();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prepares a demonstration register for korvane-sim."));
    parser.addHelpOption();
    const QCommandLineOption stateOpt(QStringLiteral("state"), QStringLiteral("Simulator state FILE."), QStringLiteral("FILE"));
    const QCommandLineOption familyOpt(QStringLiteral("family"), QStringLiteral("2.53 (default) or 2.52."), QStringLiteral("F"), QStringLiteral("2.53"));
    const QCommandLineOption serialOpt(QStringLiteral("serial"), QStringLiteral("Serial number."), QStringLiteral("S"), QStringLiteral("2530000001"));
    const QCommandLineOption settingsOpt(QStringLiteral("settings"), QStringLiteral("Settings DIR to list the register in."), QStringLiteral("DIR"));
    const QCommandLineOption addressOpt(QStringLiteral("address"), QStringLiteral("The register's address in the registry."), QStringLiteral("A"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption nameOpt(QStringLiteral("name"), QStringLiteral("The register's name in the registry."), QStringLiteral("N"), QStringLiteral("Демо ККТ"));
    const QCommandLineOption resetOpt(QStringLiteral("reset"), QStringLiteral("Refill an existing state file."));
    parser.addOptions({stateOpt, familyOpt, serialOpt, settingsOpt, addressOpt, nameOpt, resetOpt});
    parser.process(app);

    if (!parser.isSet(stateOpt))
        return fail(QStringLiteral("--state is required"));
    const QString family = parser.value(familyOpt);
    if (family != QLatin1String("2.53") && family != QLatin1String("2.52"))
        return fail(QStringLiteral("unknown family %1").arg(family));
    const QByteArray serial = parser.value(serialOpt).toLatin1();
    RegisterSimulator sim(family == QLatin1String("2.52") ? SimConfig::family252(serial)
                                                          : SimConfig::family253(serial));
    QString error;
    if (!prepareState(sim, parser.value(stateOpt), parser.isSet(resetOpt), &error))
        return fail(error);
    if (parser.isSet(settingsOpt))
        registerIn(parser.value(settingsOpt), sim, parser.value(addressOpt), parser.value(nameOpt));
    return 0;
}
