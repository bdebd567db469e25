#include "sim/registersimulator.h"

#include "sim/simcore.h"
#include "sim/simengine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QThread>

SimConfig SimConfig::family252(const QByteArray &serial)
{
    SimConfig c;
    c.family = SimFamily::F252;
    c.serial = serial;
    return c;
}

SimConfig SimConfig::family253(const QByteArray &serial)
{
    SimConfig c;
    c.family = SimFamily::F253;
    c.serial = serial;
    return c;
}

QString SimRequest::toString() const
{
    const QString hex = QStringLiteral("%1").arg(command, 2, 16, QLatin1Char('0')).toUpper();
    if (command == 0xC2 || command == 0xC3 || command == 0xC5)
        return QStringLiteral("%1 %2 %3").arg(hex).arg(first).arg(count);
    return hex;
}

RegisterSimulator::RegisterSimulator(const SimConfig &config, QObject *parent)
    : QObject(parent), m_core(std::make_shared<SimCore>(config))
{
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("korvane-sim"));
    m_engine = new SimEngine(m_core);
    m_engine->moveToThread(m_thread);
    connect(m_engine, &SimEngine::requestReceived, this, &RegisterSimulator::requestReceived);
    connect(m_engine, &SimEngine::connectionAccepted, this, &RegisterSimulator::connectionAccepted);
    connect(m_engine, &SimEngine::discoveryQueried, this, &RegisterSimulator::discoveryQueried);
}

RegisterSimulator::~RegisterSimulator()
{
    stop();
    m_thread->quit();
    m_thread->wait();
    delete m_engine; // no children left, and its thread has ended
}

namespace {

template <typename F>
void onEngineThread(QThread *thread, QObject *engine, F f)
{
    if (QThread::currentThread() == thread) {
        f();
        return;
    }
    if (!thread->isRunning())
        thread->start();
    QMetaObject::invokeMethod(engine, f, Qt::BlockingQueuedConnection);
}

bool isAnyAddress(const QHostAddress &a)
{
    return a == QHostAddress::Any || a == QHostAddress::AnyIPv4 || a == QHostAddress::AnyIPv6;
}

} // namespace

bool RegisterSimulator::start(const QHostAddress &address, quint16 port)
{
    {
        QMutexLocker lock(&m_core->mutex);
        if (!m_core->configError.isEmpty()) {
            m_error = m_core->configError;
            return false;
        }
        if (!m_core->config.allowAnyAddress && !address.isLoopback()) {
            m_error = QStringLiteral("refusing to listen on %1: not a loopback address").arg(address.toString());
            return false;
        }
    }
    bool ok = false;
    QString error;
    onEngineThread(m_thread, m_engine, [&] { ok = m_engine->listen(address, port, &error); });
    if (!ok)
        m_error = error;
    return ok;
}

bool RegisterSimulator::startDiscovery(quint16 port)
{
    QHostAddress address = QHostAddress::LocalHost;
    onEngineThread(m_thread, m_engine, [&] {
        if (m_engine->port() != 0)
            address = m_engine->address();
    });
    {
        QMutexLocker lock(&m_core->mutex);
        if (!m_core->configError.isEmpty()) {
            m_error = m_core->configError;
            return false;
        }
        if (!m_core->config.allowAnyAddress && !address.isLoopback()) {
            m_error = QStringLiteral("refusing to bind discovery on %1: not a loopback address")
                          .arg(address.toString());
            return false;
        }
    }
    if (isAnyAddress(address))
        address = QHostAddress::AnyIPv4;
    bool ok = false;
    QString error;
    onEngineThread(m_thread, m_engine, [&] { ok = m_engine->listenDiscovery(address, port, &error); });
    if (!ok)
        m_error = error;
    return ok;
}

void RegisterSimulator::stop()
{
    if (!m_thread->isRunning())
        return;
    onEngineThread(m_thread, m_engine, [this] { m_engine->shutdown(); });
}

bool RegisterSimulator::isListening() const
{
    if (!m_thread->isRunning())
        return false;
    bool on = false;
    onEngineThread(m_thread, m_engine, [&] { on = m_engine->isListening(); });
    return on;
}

QHostAddress RegisterSimulator::address() const
{
    if (!m_thread->isRunning())
        return QHostAddress();
    QHostAddress a;
    onEngineThread(m_thread, m_engine, [&] { a = m_engine->address(); });
    return a;
}

quint16 RegisterSimulator::port() const
{
    if (!m_thread->isRunning())
        return 0;
    quint16 p = 0;
    onEngineThread(m_thread, m_engine, [&] { p = m_engine->port(); });
    return p;
}

quint16 RegisterSimulator::discoveryPort() const
{
    if (!m_thread->isRunning())
        return 0;
    quint16 p = 0;
    onEngineThread(m_thread, m_engine, [&] { p = m_engine->discoveryPort(); });
    return p;
}

QString RegisterSimulator::errorString() const
{
    return m_error;
}

bool RegisterSimulator::setStateFile(const QString &path)
{
    QMutexLocker lock(&m_core->mutex);
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            m_error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
            return false;
        }
        SimStorage loaded;
        QString error;
        if (!loaded.load(file.readAll(), &error)) {
            m_error = QStringLiteral("%1: %2").arg(path, error);
            return false;
        }
        m_core->storage = loaded;
        m_core->statePath = path;
        return true;
    }
    m_core->statePath = path;
    m_core->stateError.clear();
    m_core->saveState();
    if (!m_core->stateError.isEmpty()) {
        m_error = m_core->stateError;
        m_core->statePath.clear();
        return false;
    }
    return true;
}

QString RegisterSimulator::stateFile() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->statePath;
}

SimFamily RegisterSimulator::family() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->config.family;
}

quint32 RegisterSimulator::version() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->version;
}

void RegisterSimulator::setVersion(quint32 version)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->version = version;
}

qint32 RegisterSimulator::identityValue() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->identityValue;
}

void RegisterSimulator::setIdentityValue(qint32 value)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->identityValue = value;
}

qint32 RegisterSimulator::goodsCapacity() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->goodsCapacity;
}

void RegisterSimulator::setGoodsCapacity(qint32 capacity)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->goodsCapacity = capacity;
}

quint32 RegisterSimulator::makeVersion(int major, int minor, int build)
{
    return (quint32(major & 0xF) << 28) | (quint32(minor & 0xFFF) << 16) | quint32(build & 0xFFFF);
}

bool RegisterSimulator::parseVersion(const QString &text, quint32 *version)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})\\.(\\d{1,4})\\.(\\d{1,5})$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    const int major = m.captured(1).toInt();
    const int minor = m.captured(2).toInt();
    const int build = m.captured(3).toInt();
    if (major > 15 || minor > 4095 || build > 65535)
        return false;
    *version = makeVersion(major, minor, build);
    return true;
}

QString RegisterSimulator::versionText(quint32 version)
{
    return QStringLiteral("%1.%2.%3").arg(version >> 28).arg((version >> 16) & 0xFFF).arg(version & 0xFFFF);
}

int RegisterSimulator::pageCount() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->storage.pageCount();
}

QByteArray RegisterSimulator::storage() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->storage.bytes();
}

QByteArray RegisterSimulator::pages(int first, int count) const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->storage.read(first, count);
}

bool RegisterSimulator::setPages(int first, const QByteArray &data)
{
    QMutexLocker lock(&m_core->mutex);
    if (!m_core->storage.write(first, data))
        return false;
    m_core->saveState();
    return true;
}

int RegisterSimulator::areaFirst(int id) const
{
    QMutexLocker lock(&m_core->mutex);
    SimStorage::Area a;
    return m_core->storage.area(id, &a) ? a.first : -1;
}

int RegisterSimulator::areaPages(int id) const
{
    QMutexLocker lock(&m_core->mutex);
    SimStorage::Area a;
    return m_core->storage.area(id, &a) ? a.count : -1;
}

QByteArray RegisterSimulator::areaContent(int id) const
{
    QMutexLocker lock(&m_core->mutex);
    SimStorage::Area a;
    if (!m_core->storage.area(id, &a))
        return QByteArray();
    return m_core->storage.read(a.first, a.count);
}

bool RegisterSimulator::setAreaContent(int id, const QByteArray &data)
{
    QMutexLocker lock(&m_core->mutex);
    SimStorage::Area a;
    if (!m_core->storage.area(id, &a) || data.size() > a.count * SimStorage::PageSize)
        return false;
    if (!m_core->storage.write(a.first, data))
        return false;
    m_core->saveState();
    return true;
}

QByteArray RegisterSimulator::serial() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->storedSerial();
}

void RegisterSimulator::setSerial(const QByteArray &serial)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->writeSerial(serial);
    m_core->saveState();
}

int RegisterSimulator::serialPage() const
{
    QMutexLocker lock(&m_core->mutex);
    int page, offset, size;
    return m_core->serialWindow(&page, &offset, &size) ? page : -1;
}

int RegisterSimulator::serialOffset() const
{
    return family() == SimFamily::F253 ? 0 : 4;
}

int RegisterSimulator::serialSize() const
{
    return family() == SimFamily::F253 ? 20 : 12;
}

SimFaults RegisterSimulator::faults() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->faults;
}

void RegisterSimulator::setFaults(const SimFaults &faults)
{
    {
        QMutexLocker lock(&m_core->mutex);
        m_core->faults = faults;
    }
    applyRefuse();
}

void RegisterSimulator::clearFaults()
{
    setFaults(SimFaults());
}

bool RegisterSimulator::applyRefuse()
{
    if (!m_thread->isRunning())
        return true;
    bool ok = true;
    QString error;
    onEngineThread(m_thread, m_engine, [&] { ok = m_engine->applyRefuse(&error); });
    if (!ok)
        m_error = error;
    return ok;
}

#define KSIM_SET_FAULT(expr)                   \
    do {                                       \
        QMutexLocker lock(&m_core->mutex);     \
        m_core->faults.expr;                   \
    } while (0)

void RegisterSimulator::setReplyDelay(int ms) { KSIM_SET_FAULT(delayMs = ms); }
void RegisterSimulator::setSplitReply(int pauseMs) { KSIM_SET_FAULT(splitPauseMs = pauseMs); }
void RegisterSimulator::setBadChecksum(bool on) { KSIM_SET_FAULT(badChecksum = on); }
void RegisterSimulator::setTruncate(bool on) { KSIM_SET_FAULT(truncate = on); }
void RegisterSimulator::setWrongPageCount(bool on) { KSIM_SET_FAULT(wrongPageCount = on); }
void RegisterSimulator::setNakWrites(bool on) { KSIM_SET_FAULT(nakWrites = on); }
void RegisterSimulator::setIgnoreWrites(bool on) { KSIM_SET_FAULT(ignoreWrites = on); }
void RegisterSimulator::setDropAfter(int requests) { KSIM_SET_FAULT(dropAfter = requests); }
void RegisterSimulator::setOtherSerial(const QByteArray &serial) { KSIM_SET_FAULT(otherSerial = serial); }
void RegisterSimulator::setIdentifyArgs(int count) { KSIM_SET_FAULT(identifyArgs = qBound(0, count, 3)); }
void RegisterSimulator::setSilent(bool on) { KSIM_SET_FAULT(silent = on); }
void RegisterSimulator::setDeclaredLength(quint32 length) { KSIM_SET_FAULT(declaredLength = length); }
void RegisterSimulator::setExtraPayload(int bytes) { KSIM_SET_FAULT(extraPayload = qMax(0, bytes)); }

#undef KSIM_SET_FAULT

void RegisterSimulator::setRefuse(SimRefuse mode)
{
    {
        QMutexLocker lock(&m_core->mutex);
        m_core->faults.refuse = mode;
    }
    applyRefuse();
}

void RegisterSimulator::setDiscoveryReply(SimDiscoveryReply reply)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->discoveryReply = reply;
}

SimDiscoveryReply RegisterSimulator::discoveryReply() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->discoveryReply;
}

void RegisterSimulator::setDiscoveryMac(const QByteArray &mac)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->config.mac = mac;
}

void RegisterSimulator::setDiscoveryIp(const QByteArray &ip)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->config.ip = ip;
}

void RegisterSimulator::setDiscoverySerial(const QByteArray &serial)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->discoverySerial = serial;
}

QByteArray RegisterSimulator::discoveryAnswer() const
{
    QHostAddress listen = address();
    if (listen.isNull() || isAnyAddress(listen))
        listen = QHostAddress::LocalHost;
    QMutexLocker lock(&m_core->mutex);
    return m_core->answerLine(SimDiscoveryReply::Normal, listen.toString().toLatin1());
}

int RegisterSimulator::discoveryQueries() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->discoveryQueries;
}

QList<SimRequest> RegisterSimulator::requests() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->log;
}

QStringList RegisterSimulator::requestTrace() const
{
    QStringList out;
    for (const SimRequest &r : requests())
        out << r.toString();
    return out;
}

void RegisterSimulator::clearRequests()
{
    QMutexLocker lock(&m_core->mutex);
    m_core->log.clear();
    m_core->logged = 0;
}

int RegisterSimulator::requestLogLimit() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->logLimit;
}

void RegisterSimulator::setRequestLogLimit(int limit)
{
    QMutexLocker lock(&m_core->mutex);
    m_core->logLimit = qMax(1, limit);
    while (m_core->log.size() > m_core->logLimit)
        m_core->log.removeFirst();
}

int RegisterSimulator::requestCount() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->logged;
}

void RegisterSimulator::connectNotify(const QMetaMethod &signal)
{
    if (signal == QMetaMethod::fromSignal(&RegisterSimulator::requestReceived))
        m_core->announceRequests = true;
}

void RegisterSimulator::disconnectNotify(const QMetaMethod &signal)
{
    if (signal == QMetaMethod::fromSignal(&RegisterSimulator::requestReceived))
        m_core->announceRequests = isSignalConnected(signal);
}

int RegisterSimulator::connectionCount() const
{
    QMutexLocker lock(&m_core->mutex);
    return m_core->connections;
}

bool RegisterSimulator::waitForRequests(int count, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        {
            QMutexLocker lock(&m_core->mutex);
            if (m_core->logged >= count)
                return true;
        }
        if (timer.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}
