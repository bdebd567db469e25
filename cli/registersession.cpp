#include "cli/registersession.h"

#include "cli/clistatus.h"
#include "cli/console.h"
#include "link/linkresult.h"
#include "link/reachabilityprobe.h"
#include "link/registerdefaults.h"
#include "link/taggedblock.h"
#include "session/firmwareversion.h"
#include "session/resultexplanation.h"

#include <QEventLoop>

namespace {

constexpr int kPageSize = 256;

int pagesOf(const QByteArray &bytes)
{
    return (bytes.size() + kPageSize - 1) / kPageSize;
}

}

RegisterSession::RegisterSession(const QString &address, quint16 port, const QString &serial)
    : m_address(address)
    , m_port(port)
    , m_expectedSerial(serial)
{
    m_controller.setExpectedSerial(serial);
}

QString RegisterSession::version() const
{
    return FirmwareVersion::text(m_controller.versionMajor(), m_controller.versionMinor(),
                                 m_controller.versionBuild());
}

int RegisterSession::identify()
{
    const QString failure = tr("Ошибка подключения (%1) к ККТ по адресу %2").arg(QStringLiteral("%1"), m_address);
    return run(failure, tr("Получение данных о ККТ..."), {},
               [this] { m_controller.queryIdentity(m_address, m_port); });
}

int RegisterSession::readParams(QByteArray *params, QByteArray *system)
{
    const int status = run(tr("Ошибка загрузки. %1"), tr("Загрузка из ККТ..."), {},
                           [this] { m_controller.readParams(m_address, m_port); });
    if (status == StatusOk)
        TaggedBlock::takeParams(m_controller.data(), params, system);
    return status;
}

int RegisterSession::writeParams(const QByteArray &params, const QByteArray &system)
{
    QByteArray block;
    if (!TaggedBlock::appendParams(block, params, system)) {
        Console::error(ResultExplanation::line(tr("Ошибка выгрузки. %1"), LinkOutOfRange));
        return StatusBadInput;
    }
    QVector<int> areas;
    if (!params.isEmpty())
        areas << pagesOf(params);
    if (!system.isEmpty())
        areas << pagesOf(system);
    return run(tr("Ошибка выгрузки. %1"), tr("Выгрузка в ККТ..."), areas,
               [this, block] { m_controller.writeParams(m_address, m_port, block); });
}

int RegisterSession::readGoods(QByteArray *records)
{
    const int status = run(tr("Ошибка загрузки. %1"), tr("Загрузка из ККТ..."), {},
                           [this] { m_controller.readGoods(m_address, m_port); });
    if (status == StatusOk)
        *records = m_controller.data();
    return status;
}

int RegisterSession::writeGoods(const QByteArray &areaImage)
{
    return run(tr("Ошибка выгрузки. %1"), tr("Выгрузка в ККТ..."), {pagesOf(areaImage)},
               [this, areaImage] { m_controller.writeGoods(m_address, m_port, areaImage); });
}

bool RegisterSession::isReachable() const
{
    if (ReachabilityProbe::create()->ping(m_address, RegisterDefaults::ProbeTimeout) == 0)
        return true;
    Console::error(tr("ККТ по адресу %1 не доступен").arg(m_address));
    return false;
}

int RegisterSession::run(const QString &failure, const QString &progressText,
                         const QVector<int> &areaPages, const std::function<void()> &start)
{
    if (!isReachable())
        return StatusUnreachable;

    m_areaPages = areaPages;
    m_area = 0;
    m_lastFrame = 0;
    QEventLoop loop;
    bool finished = false;
    m_controller.disconnect();
    QObject::connect(&m_controller, &DeviceController::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QObject::connect(&m_controller, &DeviceController::pages, &loop,
                     [this](int count) { m_areaPages = {count}; });
    QObject::connect(&m_controller, &DeviceController::frame, &loop,
                     [this, progressText](int done) { showProgress(progressText, done); });
    Console::progress(progressText);
    start();
    // An exchange refused at once has already finished here.
    if (!finished)
        loop.exec();
    Console::endProgress();

    const int result = m_controller.result();
    if (result != LinkOk) {
        Console::error(ResultExplanation::line(failure, result));
        return result == LinkSerialMismatch ? StatusBadInput : StatusExchangeFailed;
    }
    // The link lets a register whose serial is only the start of the expected
    // one through; the windows compare the whole number, and so do we.
    if (!m_expectedSerial.isEmpty() && m_controller.serialNumber() != m_expectedSerial) {
        Console::error(tr("Заводской номер ККТ %1 не совпадает с заданным %2")
                           .arg(m_controller.serialNumber(), m_expectedSerial));
        return StatusBadInput;
    }
    return StatusOk;
}

void RegisterSession::showProgress(const QString &text, int done)
{
    if (done <= m_lastFrame && m_area + 1 < m_areaPages.size())
        ++m_area;
    m_lastFrame = done;
    const int total = m_areaPages.value(m_area);
    Console::progress(total > 0 ? tr("%1 %2 из %3").arg(text).arg(done).arg(total)
                                : tr("%1 %2").arg(text).arg(done));
}
