#include "session/registersession.h"

#include "goods/goodscheck.h"
#include "link/devicenet.h"
#include "link/linkframe.h"
#include "link/linkresult.h"
#include "link/reachabilityprobe.h"
#include "link/taggedblock.h"
#include "session/firmwarefamily.h"
#include "session/firmwareversion.h"
#include "session/profilefile.h"
#include "session/resultexplanation.h"
#include "session/sessionresult.h"
#include "session/backupguard.h"

#include <QDir>
#include <QEventLoop>
#include <QMetaMethod>

namespace {

constexpr int ParamsArea = 2;
constexpr int SystemArea = 1;
constexpr int GoodsArea = 5;

RegisterIdentity identityOf(int major, int minor, int build)
{
    RegisterIdentity identity;
    identity.major = major;
    identity.minor = minor;
    identity.build = build;
    identity.version = FirmwareVersion::text(major, minor, build);
    identity.known = true;
    return identity;
}

RegisterIdentity linkIdentity(const DeviceNet &net)
{
    const quint32 version = net.version();
    RegisterIdentity identity = identityOf(int(version >> 28), int((version >> 16) & 0xFFF), int(version & 0xFFFF));
    identity.serial = QString::fromLatin1(net.serial());
    identity.goodsCapacity = net.goodsCapacity();
    identity.paramsSize = net.area(ParamsArea).count * LinkFrame::PageSize;
    identity.systemSize = net.area(SystemArea).count * LinkFrame::PageSize;
    identity.goodsSize = net.area(GoodsArea).count * LinkFrame::PageSize;
    return identity;
}

RegisterIdentity controllerIdentity(const DeviceController &controller)
{
    RegisterIdentity identity = identityOf(controller.versionMajor(), controller.versionMinor(),
                                           controller.versionBuild());
    identity.serial = controller.serialNumber();
    identity.goodsCapacity = controller.goodsCapacity();
    return identity;
}

// A register whose areas cannot hold its family's tables would be read into
// defaults that are not its own, and written over in part.
int areasFit(const RegisterIdentity &identity, QString *reason)
{
    const FirmwareFamily *family = FirmwareFamily::forVersion(identity.version);
    if (family->blocksFit(identity.paramsSize, identity.systemSize))
        return LinkOk;
    if (identity.paramsSize < family->paramsLayoutSize() || identity.paramsSize > TaggedBlock::MaxValueSize)
        *reason = RegisterSession::tr("область параметров ККТ (%1 байт) не подходит для версии %2")
                          .arg(identity.paramsSize)
                          .arg(identity.version);
    else
        *reason = RegisterSession::tr("системная область ККТ (%1 байт) не подходит для версии %2")
                          .arg(identity.systemSize)
                          .arg(identity.version);
    return LinkOutOfRange;
}

int effectiveCapacity(int reported)
{
    return reported > 0 ? reported : RegisterDefaults::GoodsCapacity;
}

}

// What the link's thread learns about the register for the owner; written
// there before the exchange reports its end, read here only after.
struct RegisterSession::Shared
{
    RegisterIdentity identity;
    QString reason;
    std::shared_ptr<BackupGuard> guard;
};

RegisterSession::RegisterSession(QObject *parent)
    : QObject(parent)
{
    m_controller.setSerialLocations(FirmwareFamily::serialLocations());
    connect(&m_controller, &DeviceController::connected, this, &RegisterSession::connected);
    connect(&m_controller, &DeviceController::pages, this, &RegisterSession::pages);
    connect(&m_controller, &DeviceController::finished, this, &RegisterSession::onControllerFinished);
}

RegisterSession::~RegisterSession() = default;

void RegisterSession::setAddress(const QString &address, quint16 port)
{
    m_address = address;
    m_port = port;
}

bool RegisterSession::isReachable(const QString &address)
{
    return ReachabilityProbe::create()->ping(address, RegisterDefaults::ProbeTimeout) == 0;
}

bool RegisterSession::serialMatches() const
{
    return m_expectedSerial.isEmpty() || (m_identity.known && m_identity.serial == m_expectedSerial);
}

void RegisterSession::identify()
{
    start(DeviceRequest::QueryIdentity, QByteArray(), Gate());
}

void RegisterSession::readParams()
{
    // The parameter read leaves the whole serial number to its owner, whose
    // message for another register is its own.
    start(DeviceRequest::ReadParams, QByteArray(), [](const RegisterIdentity &identity, QString *reason) {
        return areasFit(identity, reason);
    });
}

void RegisterSession::writeParams(const QByteArray &params, const QByteArray &system, const QString &version,
                                  bool sameSize)
{
    QByteArray block;
    if (!TaggedBlock::appendParams(block, params, system)) {
        finish(LinkOutOfRange);
        return;
    }
    const FirmwareFamily *dataFamily = FirmwareFamily::forVersion(version);
    const QString expected = m_expectedSerial;
    const int paramsSize = params.size();
    const int systemSize = system.size();
    start(DeviceRequest::WriteParams, block, [=](const RegisterIdentity &identity, QString *reason) {
        if (identity.serial != expected)
            return int(LinkSerialMismatch);
        const FirmwareFamily *family = FirmwareFamily::forVersion(identity.version);
        if (family != dataFamily || !family->paramsWritable()) {
            *reason = tr("параметры версии %1 не подходят для ККТ версии %2").arg(version, identity.version);
            return int(SessionWrongFamily);
        }
        const int fit = areasFit(identity, reason);
        if (fit != LinkOk)
            return fit;
        // Found here, before the backup, a block too large is no write that
        // failed part way.
        if (paramsSize > identity.paramsSize || systemSize > identity.systemSize) {
            *reason = tr("параметры (%1 и %2 байт) не помещаются в области ККТ (%3 и %4 байт)")
                          .arg(paramsSize)
                          .arg(systemSize)
                          .arg(identity.paramsSize)
                          .arg(identity.systemSize);
            return int(LinkOutOfRange);
        }
        if (!sameSize)
            return int(LinkOk);
        if (paramsSize != identity.paramsSize) {
            *reason = tr("размер параметров %1 байт не совпадает с областью параметров ККТ, %2 байт")
                          .arg(paramsSize)
                          .arg(identity.paramsSize);
            return int(LinkOutOfRange);
        }
        if (systemSize > 0 && systemSize != identity.systemSize) {
            *reason = tr("размер системного блока %1 байт не совпадает с системной областью ККТ, %2 байт")
                          .arg(systemSize)
                          .arg(identity.systemSize);
            return int(LinkOutOfRange);
        }
        return int(LinkOk);
    }, std::make_shared<BackupGuard>(BackupGuard::forParams(expected, params, system)));
}

void RegisterSession::readGoods()
{
    const QString expected = m_expectedSerial;
    start(DeviceRequest::ReadGoods, QByteArray(), [expected](const RegisterIdentity &identity, QString *) {
        return identity.serial == expected ? int(LinkOk) : int(LinkSerialMismatch);
    });
}

void RegisterSession::writeGoods(const QByteArray &areaImage, int rows, bool beyondCapacity)
{
    const QString expected = m_expectedSerial;
    start(DeviceRequest::WriteGoods, areaImage, [=](const RegisterIdentity &identity, QString *reason) {
        if (identity.serial != expected)
            return int(LinkSerialMismatch);
        if (areaImage.size() > identity.goodsSize) {
            *reason = tr("номенклатура (%1 байт) не помещается в область товаров ККТ (%2 байт)")
                          .arg(areaImage.size())
                          .arg(identity.goodsSize);
            return int(LinkOutOfRange);
        }
        if (!beyondCapacity) {
            *reason = goodsRowLimit(rows, effectiveCapacity(identity.goodsCapacity));
            if (!reason->isEmpty())
                return int(SessionTooManyGoods);
        }
        return int(LinkOk);
    }, std::make_shared<BackupGuard>(BackupGuard::forGoods(expected, areaImage)));
}

void RegisterSession::backUp()
{
    const QString expected = m_expectedSerial;
    start(DeviceRequest::ReadParams, QByteArray(), [expected](const RegisterIdentity &identity, QString *reason) {
        if (identity.serial != expected)
            return int(LinkSerialMismatch);
        return areasFit(identity, reason);
    }, std::make_shared<BackupGuard>(BackupGuard::forSnapshot(expected)));
}

void RegisterSession::restore(const ProfileFile &backup)
{
    if (backup.backupKind == ProfileFile::goodsKind())
        writeGoods(backup.goodsArea, 0, true);
    else
        writeParams(backup.params, backup.system, backup.version, true);
}

void RegisterSession::start(int op, const QByteArray &input, const Gate &gate,
                            const std::shared_ptr<BackupGuard> &guard)
{
    m_busy = true;
    m_op = op;
    m_result = 0;
    m_identity = RegisterIdentity();
    m_reason.clear();
    m_backupFiles.clear();
    m_params.clear();
    m_system.clear();
    m_goods.clear();
    if (m_probeFirst && !isReachable(m_address)) {
        finish(SessionUnreachable);
        return;
    }
    m_controller.setExpectedSerial(m_expectedSerial);
    // Progress that nobody shows would cost the transfer a wake-up of this
    // thread per request.
    disconnect(&m_controller, &DeviceController::frame, this, &RegisterSession::frame);
    if (isSignalConnected(QMetaMethod::fromSignal(&RegisterSession::frame)))
        connect(&m_controller, &DeviceController::frame, this, &RegisterSession::frame);
    auto shared = std::make_shared<Shared>();
    shared->guard = guard;
    m_shared = shared;
    // Every exchange beyond identification needs firmware the utility
    // supports; the operation's own gate follows, then a write's backup.
    m_controller.setOperationSteps(
            [shared, gate](DeviceNet &net) {
                shared->identity = linkIdentity(net);
                const RegisterIdentity &identity = shared->identity;
                if (!FirmwareFamily::isSupported(identity.major, identity.minor, identity.build))
                    return int(SessionUnsupportedVersion);
                const int admitted = gate ? gate(identity, &shared->reason) : int(LinkOk);
                if (admitted != LinkOk || !shared->guard)
                    return admitted;
                return shared->guard->before(net, identity);
            },
            [shared](DeviceNet &net) { return shared->guard ? shared->guard->after(net) : int(LinkOk); });
    m_controller.startExchange(op, m_address, m_port, input);
}

void RegisterSession::onControllerFinished()
{
    const int result = m_controller.result();
    if (m_shared && m_shared->identity.known) {
        m_identity = m_shared->identity;
        m_reason = m_shared->reason;
    }
    if (m_shared && m_shared->guard) {
        m_backupFiles = m_shared->guard->files();
        if (m_reason.isEmpty())
            m_reason = m_shared->guard->reason();
    }
    else if (result == LinkOk)
        m_identity = controllerIdentity(m_controller);
    if (result == LinkOk) {
        if (m_op == DeviceRequest::ReadParams)
            TaggedBlock::takeParams(m_controller.data(), &m_params, &m_system);
        else if (m_op == DeviceRequest::ReadGoods)
            m_goods = m_controller.data();
    }
    m_shared.reset();
    finish(result);
}

void RegisterSession::finish(int result)
{
    m_result = result;
    m_busy = false;
    emit finished();
}

void RegisterSession::stop()
{
    m_controller.stop();
}

void RegisterSession::waitForFinished()
{
    if (!m_busy)
        return;
    QEventLoop loop;
    connect(this, &RegisterSession::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

QString RegisterSession::explanation() const
{
    if (m_result == LinkSerialMismatch || (m_result == LinkOk && !serialMatches())) {
        const QString answered = m_identity.serial.isEmpty() ? tr("(пустой)") : m_identity.serial;
        return tr("заводской номер ККТ %1 не совпадает с заданным %2").arg(answered, m_expectedSerial);
    }
    if (!m_reason.isEmpty())
        return m_reason;
    // In the words registration uses for the same refusal.
    if (m_result == SessionUnsupportedVersion && m_identity.known)
        return tr("Версия ККТ %1 не поддерживается").arg(m_identity.version);
    return ResultExplanation::explain(m_result);
}

QString RegisterSession::informativeText() const
{
    QString text = explanation();
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    text = tr("%1.\nАдрес ККТ: %2.").arg(text, m_address);
    if (partlyWritten())
        text += tr("\nДанные в ККТ могли быть записаны частично. Резервная копия: %1")
                        .arg(QDir::toNativeSeparators(backupFile()));
    return text;
}
