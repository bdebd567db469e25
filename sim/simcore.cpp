#include "sim/simcore.h"

#include <QSaveFile>
#include <QtEndian>
#include <QtDebug>

namespace {

constexpr quint8 CmdIdentify = 0xC1;
constexpr quint8 CmdRead = 0xC2;
constexpr quint8 CmdWrite = 0xC3;
constexpr quint8 CmdWriteSystem = 0xC5;

const QByteArray DiscoveryQuery("Are You Korvane POS?\n");

// The largest UDP payload over IPv4.
constexpr int MaxDatagram = 65507;

QByteArray rejectFrame(quint8 status)
{
    return SimFrame::encode(status, {});
}

// Write commands answer a refusal as a negative acknowledgement: A = 1 and the
// argument is the (non-zero) status.
QByteArray nakFrame(quint8 status)
{
    return SimFrame::encode(status, {qint32(status)});
}

} // namespace

SimCore::SimCore(const SimConfig &c)
    : config(c)
{
    const bool f53 = config.family == SimFamily::F253;
    version = config.version ? config.version
                             : RegisterSimulator::makeVersion(2, f53 ? 53 : 52, f53 ? 10 : 38);
    identityValue = config.identityValue;
    goodsCapacity = config.goodsCapacity;

    SimStorage::Layout layout;
    layout.systemPages = config.systemPages;
    layout.paramsPages = config.paramsPages > 0 ? config.paramsPages : (f53 ? 21 : 10);
    layout.area3Pages = config.area3Pages;
    layout.area4Pages = config.area4Pages;
    layout.goodsPages = config.goodsPages > 0 ? config.goodsPages : qMax(1, (config.goodsCapacity + 3) / 2);
    layout.headerWord = config.headerWord;
    if (!SimStorage::checkLayout(layout, &configError)) {
        // Keep a usable storage all the same; start() reports the error.
        layout = SimStorage::Layout();
    }
    storage.format(layout);
    writeSerial(config.serial);
}

bool SimCore::serialWindow(int *page, int *offset, int *size) const
{
    SimStorage::Area params;
    if (!storage.area(2, &params))
        return false;
    const bool f53 = config.family == SimFamily::F253;
    *page = params.first + (f53 ? 1 : 0);
    *offset = f53 ? 0 : 4;
    *size = f53 ? 20 : 12;
    return storage.contains(*page, 1);
}

QByteArray SimCore::storedSerial() const
{
    int page, offset, size;
    if (!serialWindow(&page, &offset, &size))
        return QByteArray();
    QByteArray window = storage.read(page, 1).mid(offset, size);
    const int zero = window.indexOf('\0');
    return zero < 0 ? window : window.left(zero);
}

void SimCore::writeSerial(const QByteArray &serial)
{
    int page, offset, size;
    if (!serialWindow(&page, &offset, &size))
        return;
    QByteArray bytes = storage.read(page, 1);
    QByteArray window = serial.left(size);
    window.append(QByteArray(size - window.size(), '\0'));
    bytes.replace(offset, size, window);
    storage.write(page, bytes);
}

void SimCore::saveState()
{
    if (statePath.isEmpty())
        return;
    QSaveFile file(statePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(storage.bytes()) != storage.bytes().size()
        || !file.commit()) {
        stateError = QStringLiteral("cannot write %1: %2").arg(statePath, file.errorString());
        qWarning().noquote() << "korvane-sim:" << stateError;
    }
}

bool SimCore::targeted(quint8 command, int index) const
{
    if (faults.onlyCommand != 0 && faults.onlyCommand != command)
        return false;
    if (index < faults.fromRequest)
        return false;
    if (faults.untilRequest > 0 && index > faults.untilRequest)
        return false;
    return true;
}

SimAction SimCore::process(const SimFrame::Header &header, const QByteArray &body, int conn, int index)
{
    QMutexLocker lock(&mutex);

    SimRequest req;
    req.connection = conn;
    req.index = index;
    const SimFrame::Body parsed = SimFrame::parseBody(body);
    req.command = body.isEmpty() ? 0 : quint8(body.at(0));
    req.args = parsed.args;
    req.payloadSize = parsed.payload.size();
    req.checksumOk = SimFrame::crc32(body) == header.crc;
    const bool pageCommand = req.command == CmdRead || req.command == CmdWrite || req.command == CmdWriteSystem;
    if (pageCommand && parsed.args.size() >= 2) {
        req.first = parsed.args.at(0);
        req.count = parsed.args.at(1);
    }

    SimAction action;
    auto finish = [&](SimOutcome outcome, quint8 status) {
        req.outcome = outcome;
        req.status = status;
        log.append(req);
        ++logged;
        while (log.size() > logLimit)
            log.removeFirst();
        return action;
    };

    if (faults.dropAfter >= 0 && index > faults.dropAfter) {
        action.kind = SimAction::Drop;
        return finish(SimOutcome::Dropped, 0);
    }
    if (header.magic != SimFrame::Magic) {
        action.kind = SimAction::ReplyAndClose;
        action.bytes = rejectFrame(RegisterSimulator::StatusBadMagic);
        return finish(SimOutcome::Dropped, RegisterSimulator::StatusBadMagic);
    }
    const bool hit = targeted(req.command, index);
    if (hit && faults.silent) {
        action.kind = SimAction::Silent;
        return finish(SimOutcome::Unanswered, 0);
    }

    quint8 status = RegisterSimulator::StatusOk;
    bool isWrite = false;
    if (!req.checksumOk) {
        status = RegisterSimulator::StatusBadChecksum;
    } else if (!parsed.ok) {
        status = RegisterSimulator::StatusMalformed;
    } else if (req.command == CmdIdentify) {
        if (parsed.args.size() != 1 || parsed.args.at(0) != 0 || !parsed.payload.isEmpty()) {
            status = RegisterSimulator::StatusBadArguments;
        } else {
            QVector<qint32> args{qint32(version), identityValue, goodsCapacity};
            const int n = hit ? qBound(0, faults.identifyArgs, 3) : 3;
            args.resize(n);
            action.bytes = SimFrame::encode(0, args);
        }
    } else if (pageCommand) {
        isWrite = req.command != CmdRead;
        const int first = req.first;
        const int count = req.count;
        if (parsed.args.size() != 2 || (!isWrite && !parsed.payload.isEmpty())) {
            status = RegisterSimulator::StatusBadArguments;
        } else if (count < 1 || count > 4 || !storage.contains(first, count)) {
            status = RegisterSimulator::StatusBadRange;
        } else if (!isWrite) {
            QByteArray data = storage.read(first, count);
            int page, offset, size;
            if (!faults.otherSerial.isEmpty() && serialWindow(&page, &offset, &size) && page >= first
                && page < first + count) {
                QByteArray window = faults.otherSerial.left(size);
                window.append(QByteArray(size - window.size(), '\0'));
                data.replace((page - first) * SimFrame::PageSize + offset, size, window);
            }
            if (hit && faults.extraPayload > 0)
                data.append(QByteArray(faults.extraPayload, char(0xEE)));
            const qint32 confirmed = (hit && faults.wrongPageCount) ? count + 1 : count;
            action.bytes = SimFrame::encode(0, {confirmed}, data);
        } else if (parsed.payload.size() != count * SimFrame::PageSize) {
            status = RegisterSimulator::StatusBadPayload;
        } else {
            if (config.strictAreas) {
                // 0xC5 writes the system area; 0xC3 the params or the goods area.
                const QVector<int> ids = req.command == CmdWriteSystem ? QVector<int>{1} : QVector<int>{2, 5};
                bool inside = false;
                for (int id : ids) {
                    SimStorage::Area a;
                    if (storage.area(id, &a) && first >= a.first && first + count <= a.first + a.count)
                        inside = true;
                }
                if (!inside)
                    status = RegisterSimulator::StatusAreaRefused;
            }
            if (status == RegisterSimulator::StatusOk && hit && faults.nakWrites)
                status = RegisterSimulator::StatusWriteRefused;
            if (status == RegisterSimulator::StatusOk) {
                if (!(hit && faults.ignoreWrites)) {
                    storage.write(first, parsed.payload);
                    saveState();
                }
                action.bytes = SimFrame::encode(0, {0});
            }
        }
    } else {
        status = RegisterSimulator::StatusUnknownCommand;
    }

    if (status != RegisterSimulator::StatusOk)
        action.bytes = isWrite ? nakFrame(status) : rejectFrame(status);

    if (hit) {
        if (faults.badChecksum)
            action.bytes[6] = char(quint8(action.bytes.at(6)) ^ 0x01u);
        if (faults.truncate)
            action.bytes.truncate(SimFrame::HeaderSize + (action.bytes.size() - SimFrame::HeaderSize) / 2);
        if (faults.declaredLength != 0)
            qToLittleEndian<quint32>(faults.declaredLength, action.bytes.data() + 2);
        action.delayMs = qMax(0, faults.delayMs);
        action.splitPauseMs = faults.splitPauseMs;
    }
    return finish(status == RegisterSimulator::StatusOk ? SimOutcome::Accepted : SimOutcome::Rejected, status);
}

QByteArray SimCore::answerLine(SimDiscoveryReply variant, const QByteArray &listenIp) const
{
    const QByteArray serial = discoverySerial.isEmpty() ? storedSerial() : discoverySerial;
    QByteArray mac = config.mac;
    QByteArray ip = config.ip.isEmpty() ? listenIp : config.ip;
    bool lineFeed = true;
    switch (variant) {
    case SimDiscoveryReply::HyphenLowerMac:
        mac = mac.replace(':', '-').toLower();
        break;
    case SimDiscoveryReply::NoLineFeed:
        lineFeed = false;
        break;
    case SimDiscoveryReply::LeadingZeroIp: {
        const int dot = ip.lastIndexOf('.');
        ip.insert(dot + 1, '0');
        break;
    }
    case SimDiscoveryReply::Oversized: {
        const QByteArray rest = ' ' + mac + ' ' + ip + '\n';
        QByteArray digits = serial.isEmpty() ? QByteArray("1") : serial;
        QByteArray huge;
        huge.reserve(MaxDatagram);
        while (huge.size() < MaxDatagram - rest.size())
            huge += digits;
        huge.truncate(MaxDatagram - rest.size());
        return huge + rest;
    }
    case SimDiscoveryReply::FiveGroupMac: {
        QList<QByteArray> groups = mac.split(mac.contains('-') ? '-' : ':');
        while (groups.size() > 5)
            groups.removeLast();
        mac = groups.join(mac.contains('-') ? '-' : ':');
        break;
    }
    default:
        break;
    }
    QByteArray line = serial + ' ' + mac + ' ' + ip;
    if (lineFeed)
        line += '\n';
    return line;
}

bool SimCore::discover(const QByteArray &datagram, const QByteArray &listenIp, QList<QByteArray> *answers)
{
    answers->clear();
    QByteArray text = datagram;
    const int zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    QMutexLocker lock(&mutex);
    if (text != DiscoveryQuery)
        return false;
    ++discoveryQueries;
    switch (discoveryReply) {
    case SimDiscoveryReply::Silent:
        break;
    case SimDiscoveryReply::Twice: {
        const QByteArray line = answerLine(SimDiscoveryReply::Normal, listenIp);
        *answers << line << line;
        break;
    }
    default:
        *answers << answerLine(discoveryReply, listenIp);
        break;
    }
    return true;
}
