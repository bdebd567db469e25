// korvane-sim: a simulated Korvane register on the command line.
//
//   korvane-sim [--listen 127.0.0.1:8080] [--discovery-port 8090] [--family 2.53]
//               [--serial S] [--state FILE] [fault flags ...]
//   korvane-sim --from-backup FILE | --from-profile FILE [--listen ...] [fault flags ...]
//
// Prints one line once it listens, then serves until it is terminated.

#include "sim/registersimulator.h"
#include "sim/simprofile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTextStream>

#include <cstdint>
#include <cstdio>
#include <functional>

namespace {

int fail(const QString &text, int code = 2)
{
    QTextStream err(stderr);
    err << "korvane-sim: " << text << '\n';
    return code;
}

bool parseListen(const QString &text, QHostAddress *address, quint16 *port)
{
    QString host;
    QString portText;
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1String("]:"));
        if (close < 0)
            return false;
        host = text.mid(1, close - 1);
        portText = text.mid(close + 2);
    } else {
        const int colon = text.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0)
            return false;
        host = text.left(colon);
        portText = text.mid(colon + 1);
    }
    bool ok = false;
    const uint p = portText.toUInt(&ok);
    if (!ok || p > 65535)
        return false;
    if (host == QLatin1String("localhost"))
        host = QStringLiteral("127.0.0.1");
    QHostAddress a;
    if (!a.setAddress(host))
        return false;
    *address = a;
    *port = quint16(p);
    return true;
}

bool parseInt(const QString &text, qint64 min, qint64 max, qint64 *out)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 0); // decimal, or 0x... hex
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

struct DiscoveryName
{
    const char *name;
    SimDiscoveryReply reply;
};

const DiscoveryName discoveryNames[] = {
    {"normal", SimDiscoveryReply::Normal},
    {"hyphen-mac", SimDiscoveryReply::HyphenLowerMac},
    {"no-newline", SimDiscoveryReply::NoLineFeed},
    {"leading-zero-ip", SimDiscoveryReply::LeadingZeroIp},
    {"five-groups", SimDiscoveryReply::FiveGroupMac},
    {"twice", SimDiscoveryReply::Twice},
    {"oversized", SimDiscoveryReply::Oversized},
    {"silent", SimDiscoveryReply::Silent},
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvane-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated Korvane fiscal register (families 2.52 and 2.53): the TCP link protocol "
        "(0xC1, 0xC2, 0xC3, 0xC5) and the UDP discovery answer. Listens on loopback only "
        "unless --allow-any-address is given."));
    parser.addHelpOption();

    auto opt = [&parser](const QString &name, const QString &help, const QString &value = QString(),
                         const QString &def = QString()) {
        QCommandLineOption o(name, help, value, def);
        parser.addOption(o);
        return o;
    };
    const auto listenOpt = opt("listen", "TCP address and port (default 127.0.0.1:8080; port 0: any free one).",
                               "addr:port", "127.0.0.1:8080");
    const auto discoveryOpt = opt("discovery-port", "UDP discovery port (default 8090; 0: off).", "port", "8090");
    const auto anyOpt = opt("allow-any-address", "Allow a non-loopback listen address.");
    const auto familyOpt = opt("family", "Firmware family: 2.52 or 2.53 (default 2.53).", "family", "2.53");
    const auto versionOpt = opt("version", "Firmware version X.Y.Z (default 2.53.10 or 2.52.38).", "X.Y.Z");
    const auto versionWordOpt = opt("version-word", "Raw 32-bit version word of the identify reply.", "n");
    const auto serialOpt = opt("serial", "Serial number (default 1000000001).", "S");
    const auto identityOpt = opt("identity-value", "Second identify value (default 1024).", "n");
    const auto capacityOpt = opt("goods-capacity", "Goods capacity, the third identify value (default 2000).", "n");
    const auto systemPagesOpt = opt("system-pages", "Pages of the system area (default 4).", "n");
    const auto paramsPagesOpt = opt("params-pages", "Pages of the params area (default 21 or 10).", "n");
    const auto goodsPagesOpt = opt("goods-pages", "Pages of the goods area (default (capacity + 3) / 2).", "n");
    const auto headerWordOpt = opt("header-word", "The word after the page-0 magic (default 1).", "n");
    const auto lenientOpt = opt("any-area-writes", "Let 0xC3 and 0xC5 write any pages, not only their areas.");
    const auto stateOpt = opt("state", "Load the storage from FILE if it exists; write every change back.", "FILE");
    const auto fromBackupOpt = opt("from-backup", "Serve the register of a backup the utility took before a write: "
                                   "its family, version, serial number and areas.", "FILE");
    const auto fromProfileOpt = opt("from-profile", "Serve the register of a profile file (korvane-cli params "
                                    "read, profile export): its family, version, serial number and areas.", "FILE");
    const auto macOpt = opt("mac", "MAC address of the discovery answer (default 00:1A:2B:3C:4D:5E).", "mac");
    const auto ipOpt = opt("ip", "IP address of the discovery answer (default: the listen address).", "ip");
    QStringList variantNames;
    for (const auto &d : discoveryNames)
        variantNames << QLatin1String(d.name);
    const auto discoveryReplyOpt =
        opt("discovery-reply", "Discovery answer: " + variantNames.join(", ") + " (default normal).", "variant",
            "normal");
    // Faults.
    const auto delayOpt = opt("delay", "Fault: wait MS before each reply.", "ms");
    const auto splitOpt = opt("split", "Fault: send each reply in two segments, MS apart.", "ms");
    const auto badCrcOpt = opt("bad-checksum", "Fault: corrupt the reply checksum.");
    const auto truncateOpt = opt("truncate", "Fault: send only the header and half of each reply body.");
    const auto wrongCountOpt = opt("wrong-page-count", "Fault: read replies confirm one page too many.");
    const auto nakOpt = opt("nak-writes", "Fault: refuse every write (argument 8 instead of 0).");
    const auto ignoreOpt = opt("ignore-writes", "Fault: acknowledge every write but keep the old bytes.");
    const auto refuseOpt = opt("refuse", "Fault: close every connection as soon as it is accepted.");
    const auto dropOpt = opt("drop-after", "Fault: on each connection answer N requests, then close.", "n");
    const auto otherSerialOpt = opt("other-serial", "Fault: reads report serial S; the stored one stays.", "S");
    const auto identifyArgsOpt = opt("identify-args", "Fault: identify reply with N arguments (0..3).", "n");
    const auto noIdentifyArgsOpt = opt("identify-no-args", "Fault: identify reply without arguments.");
    const auto silentOpt = opt("silent", "Fault: never answer a request.");
    const auto declaredLengthOpt =
        opt("declared-length", "Fault: replies declare a body of N bytes (e.g. 0x80000000, 2 GiB).", "n");
    const auto extraPayloadOpt = opt("extra-payload", "Fault: read replies carry N bytes more than asked.", "n");
    const auto faultCommandOpt = opt("fault-command", "Apply the faults only to this command (e.g. 0xC2).", "cmd");
    const auto faultFromOpt = opt("fault-from", "Apply the faults from request N of a connection on (1-based).", "n");
    const auto faultUntilOpt = opt("fault-until", "Apply the faults up to request N of a connection.", "n");
    const auto verboseOpt = opt("verbose", "Print one line per request.");

    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(0);
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));

    QHostAddress address;
    quint16 port = 0;
    if (!parseListen(parser.value(listenOpt), &address, &port))
        return fail(QStringLiteral("bad --listen %1 (want ADDR:PORT)").arg(parser.value(listenOpt)));
    const bool allowAny = parser.isSet(anyOpt);
    if (!allowAny && !address.isLoopback())
        return fail(QStringLiteral("refusing to listen on %1: not a loopback address (use --allow-any-address)")
                        .arg(address.toString()));

    qint64 n = 0;
    SimConfig config;
    config.allowAnyAddress = allowAny;
    const QString family = parser.value(familyOpt);
    if (family == QLatin1String("2.52") || family == QLatin1String("52"))
        config.family = SimFamily::F252;
    else if (family == QLatin1String("2.53") || family == QLatin1String("53"))
        config.family = SimFamily::F253;
    else
        return fail(QStringLiteral("bad --family %1 (want 2.52 or 2.53)").arg(family));

    if (parser.isSet(versionOpt) && !RegisterSimulator::parseVersion(parser.value(versionOpt), &config.version))
        return fail(QStringLiteral("bad --version %1 (want X.Y.Z)").arg(parser.value(versionOpt)));
    if (parser.isSet(versionWordOpt)) {
        if (!parseInt(parser.value(versionWordOpt), 0, 0xFFFFFFFFLL, &n))
            return fail(QStringLiteral("bad --version-word"));
        config.version = quint32(n);
        if (config.version == 0)
            return fail(QStringLiteral("--version-word 0 is not supported"));
    }
    if (parser.isSet(serialOpt))
        config.serial = parser.value(serialOpt).toLatin1();
    // A copy of a real register brings its own identity and layout.
    SimProfile profile;
    const bool fromFile = parser.isSet(fromBackupOpt) || parser.isSet(fromProfileOpt);
    if (fromFile) {
        if (parser.isSet(fromBackupOpt) && parser.isSet(fromProfileOpt))
            return fail(QStringLiteral("--from-backup and --from-profile exclude each other"));
        for (const QCommandLineOption *own : {&familyOpt, &versionOpt, &versionWordOpt, &serialOpt, &stateOpt,
                                              &paramsPagesOpt, &systemPagesOpt, &goodsPagesOpt, &capacityOpt}) {
            if (parser.isSet(*own))
                return fail(QStringLiteral("--%1 cannot be combined with --from-backup or --from-profile")
                                .arg(own->names().first()));
        }
        QString error;
        const QString path = parser.value(parser.isSet(fromBackupOpt) ? fromBackupOpt : fromProfileOpt);
        if (!SimProfile::read(path, &profile, &error))
            return fail(error, 1);
        config.family = profile.config.family;
        config.version = profile.config.version;
        config.serial = profile.config.serial;
        config.goodsCapacity = profile.config.goodsCapacity;
        config.paramsPages = profile.config.paramsPages;
        config.systemPages = profile.config.systemPages;
        config.goodsPages = profile.config.goodsPages;
    }
    const int serialMax = config.family == SimFamily::F253 ? 20 : 12;
    if (config.serial.size() > serialMax)
        return fail(QStringLiteral("serial longer than %1 bytes").arg(serialMax));

    struct IntOption
    {
        const QCommandLineOption *option;
        qint64 min, max;
        std::function<void(qint64)> set;
    };
    SimFaults faults;
    const IntOption ints[] = {
        {&identityOpt, INT32_MIN, INT32_MAX, [&](qint64 v) { config.identityValue = qint32(v); }},
        {&capacityOpt, 0, INT32_MAX, [&](qint64 v) { config.goodsCapacity = qint32(v); }},
        {&systemPagesOpt, 0, 65535, [&](qint64 v) { config.systemPages = int(v); }},
        {&paramsPagesOpt, 2, 65535, [&](qint64 v) { config.paramsPages = int(v); }},
        {&goodsPagesOpt, 1, 65535, [&](qint64 v) { config.goodsPages = int(v); }},
        {&headerWordOpt, 0, 65535, [&](qint64 v) { config.headerWord = quint16(v); }},
        {&delayOpt, 0, 600000, [&](qint64 v) { faults.delayMs = int(v); }},
        {&splitOpt, 0, 600000, [&](qint64 v) { faults.splitPauseMs = int(v); }},
        {&dropOpt, 0, INT32_MAX, [&](qint64 v) { faults.dropAfter = int(v); }},
        {&identifyArgsOpt, 0, 3, [&](qint64 v) { faults.identifyArgs = int(v); }},
        {&declaredLengthOpt, 0, 0xFFFFFFFFLL, [&](qint64 v) { faults.declaredLength = quint32(v); }},
        {&extraPayloadOpt, 0, 60000, [&](qint64 v) { faults.extraPayload = int(v); }},
        {&faultCommandOpt, 1, 255, [&](qint64 v) { faults.onlyCommand = quint8(v); }},
        {&faultFromOpt, 1, INT32_MAX, [&](qint64 v) { faults.fromRequest = int(v); }},
        {&faultUntilOpt, 1, INT32_MAX, [&](qint64 v) { faults.untilRequest = int(v); }},
    };
    for (const IntOption &o : ints) {
        if (!parser.isSet(*o.option))
            continue;
        if (!parseInt(parser.value(*o.option), o.min, o.max, &n))
            return fail(QStringLiteral("bad --%1 %2").arg(o.option->names().first(), parser.value(*o.option)));
        o.set(n);
    }
    qint64 discoveryPort = 0;
    if (!parseInt(parser.value(discoveryOpt), 0, 65535, &discoveryPort))
        return fail(QStringLiteral("bad --discovery-port %1").arg(parser.value(discoveryOpt)));
    config.strictAreas = !parser.isSet(lenientOpt);
    if (parser.isSet(macOpt))
        config.mac = parser.value(macOpt).toLatin1();
    if (parser.isSet(ipOpt))
        config.ip = parser.value(ipOpt).toLatin1();

    bool variantFound = false;
    SimDiscoveryReply variant = SimDiscoveryReply::Normal;
    for (const auto &d : discoveryNames) {
        if (parser.value(discoveryReplyOpt) == QLatin1String(d.name)) {
            variant = d.reply;
            variantFound = true;
        }
    }
    if (!variantFound)
        return fail(QStringLiteral("bad --discovery-reply %1 (want %2)")
                        .arg(parser.value(discoveryReplyOpt), variantNames.join(QStringLiteral(", "))));

    faults.badChecksum = parser.isSet(badCrcOpt);
    faults.truncate = parser.isSet(truncateOpt);
    faults.wrongPageCount = parser.isSet(wrongCountOpt);
    faults.nakWrites = parser.isSet(nakOpt);
    faults.ignoreWrites = parser.isSet(ignoreOpt);
    faults.silent = parser.isSet(silentOpt);
    if (parser.isSet(refuseOpt))
        faults.refuse = SimRefuse::Close;
    if (parser.isSet(otherSerialOpt))
        faults.otherSerial = parser.value(otherSerialOpt).toLatin1();
    if (parser.isSet(noIdentifyArgsOpt))
        faults.identifyArgs = 0;

    RegisterSimulator sim(config);
    if (parser.isSet(stateOpt)) {
        if (!sim.setStateFile(parser.value(stateOpt)))
            return fail(sim.errorString(), 1);
        if (parser.isSet(serialOpt))
            sim.setSerial(config.serial);
    }
    if (fromFile) {
        QString error;
        if (!profile.applyTo(sim, &error))
            return fail(error, 1);
    }
    sim.setFaults(faults);
    sim.setDiscoveryReply(variant);

    int printed = 0; // requests printed so far; the log keeps only the latest
    if (parser.isSet(verboseOpt)) {
        QObject::connect(&sim, &RegisterSimulator::requestReceived, &sim, [&sim, &printed] {
            const QList<SimRequest> log = sim.requests();
            const int total = sim.requestCount();
            QTextStream out(stdout);
            for (printed = qMax(printed, total - log.size()); printed < total; ++printed) {
                const SimRequest &r = log.at(log.size() - (total - printed));
                out << "request " << r.connection << '.' << r.index << ' ' << r.toString() << " status "
                    << int(r.status) << '\n';
            }
            out.flush();
        });
    }

    if (!sim.start(address, port))
        return fail(sim.errorString(), 1);
    if (discoveryPort > 0 && !sim.startDiscovery(quint16(discoveryPort)))
        return fail(sim.errorString(), 1);

    QString line = QStringLiteral("korvane-sim listening on %1:%2").arg(sim.address().toString()).arg(sim.port());
    line += discoveryPort > 0 ? QStringLiteral(", discovery on UDP %1").arg(sim.discoveryPort())
                              : QStringLiteral(", discovery off");
    line += QStringLiteral(", family %1, version %2, serial %3")
                .arg(sim.family() == SimFamily::F253 ? "2.53" : "2.52",
                     RegisterSimulator::versionText(sim.version()), QString::fromLatin1(sim.serial()));
    {
        QTextStream out(stdout);
        out << line << '\n';
        out.flush();
    }
    std::fflush(stdout);
    return app.exec();
}
