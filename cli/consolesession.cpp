#include "cli/consolesession.h"

#include "cli/clistatus.h"
#include "cli/console.h"
#include "link/linkframe.h"
#include "link/linkresult.h"
#include "session/sessionresult.h"

#include <QDir>
#include <QRegularExpression>

namespace {

int pagesOf(const QByteArray &bytes)
{
    return (bytes.size() + LinkFrame::PageSize - 1) / LinkFrame::PageSize;
}

int statusOf(int result)
{
    switch (result) {
    case LinkOk:
        return StatusOk;
    case SessionUnreachable:
        return StatusUnreachable;
    case SessionTooManyGoods:
        return StatusIssues;
    case LinkSerialMismatch:
    case SessionUnsupportedVersion:
    case SessionWrongFamily:
        return StatusBadInput;
    default:
        return StatusExchangeFailed;
    }
}

}

ConsoleSession::ConsoleSession(const QString &address, quint16 port, const QString &serial)
{
    m_session.setAddress(address, port);
    m_session.setExpectedSerial(serial);
    QObject::connect(&m_session, &RegisterSession::pages, [this](int count) { m_areaPages = {count}; });
}

int ConsoleSession::identify()
{
    const QString failure = tr("Ошибка подключения (%1) к ККТ по адресу %2").arg(QStringLiteral("%1"), address());
    return run(failure, tr("Получение данных о ККТ..."), {}, [this] { m_session.identify(); });
}

int ConsoleSession::readParams(QByteArray *params, QByteArray *system)
{
    const QString failure = tr("Ошибка загрузки. %1");
    int status = run(failure, tr("Загрузка из ККТ..."), {}, [this] { m_session.readParams(); });
    if (status != StatusOk)
        return status;
    // The link lets a register through whose serial is only the start of
    // the expected one.
    if (!m_session.serialMatches()) {
        Console::error(tr("%1 (%2)").arg(failure.arg(LinkSerialMismatch), m_session.explanation()));
        return StatusBadInput;
    }
    *params = m_session.params();
    *system = m_session.system();
    return StatusOk;
}

int ConsoleSession::writeParams(const QByteArray &params, const QByteArray &system, const QString &version)
{
    QVector<int> areas;
    if (!params.isEmpty())
        areas << pagesOf(params);
    if (!system.isEmpty())
        areas << pagesOf(system);
    const int status = run(tr("Ошибка выгрузки. %1"), tr("Выгрузка в ККТ..."), areas,
                           [&] { m_session.writeParams(params, system, version, true); });
    // Blocks that do not fit the register's areas are a file that does not fit.
    return m_session.result() == LinkOutOfRange ? int(StatusBadInput) : status;
}

int ConsoleSession::readGoods(QByteArray *records)
{
    const int status = run(tr("Ошибка загрузки. %1"), tr("Загрузка из ККТ..."), {},
                           [this] { m_session.readGoods(); });
    if (status == StatusOk)
        *records = m_session.goods();
    return status;
}

int ConsoleSession::writeGoods(const QByteArray &areaImage, int rows, bool force)
{
    return run(tr("Ошибка выгрузки. %1"), tr("Выгрузка в ККТ..."), {pagesOf(areaImage)},
               [&] { m_session.writeGoods(areaImage, rows, force); });
}

int ConsoleSession::restore(const ProfileFile &backup)
{
    const QByteArray &area = backup.backupKind == ProfileFile::goodsKind() ? backup.goodsArea : backup.params;
    return run(tr("Ошибка выгрузки. %1"), tr("Восстановление в ККТ..."), {pagesOf(area)},
               [&] { m_session.restore(backup); });
}

int ConsoleSession::run(const QString &failure, const QString &progressText, const QVector<int> &areaPages,
                        const std::function<void()> &start)
{
    m_areaPages = areaPages;
    m_area = 0;
    m_lastFrame = 0;
    QMetaObject::Connection progress;
    if (Console::showsProgress())
        progress = QObject::connect(&m_session, &RegisterSession::frame, &m_session,
                                    [this, progressText](int done) { showProgress(progressText, done); });
    Console::progress(progressText);
    start();
    m_session.waitForFinished();
    QObject::disconnect(progress);
    Console::endProgress();
    return report(failure);
}

int ConsoleSession::report(const QString &failure)
{
    const int result = m_session.result();
    if (result == LinkOk || result == SessionTooManyGoods)
        return statusOf(result);
    if (result == SessionUnreachable)
        Console::error(tr("ККТ по адресу %1 не доступен").arg(address()));
    else if (result == SessionUnsupportedVersion)
        Console::error(m_session.explanation());
    else
        Console::error(tr("%1 (%2)").arg(failure.arg(result), m_session.explanation()));
    if (m_session.partlyWritten()) {
        Console::error(tr("Данные в ККТ могли быть записаны частично. Резервная копия: %1")
                           .arg(QDir::toNativeSeparators(m_session.backupFile())));
        Console::error(tr("Восстановить: %1").arg(restoreCommand(m_session)));
    }
    return statusOf(result);
}

QString ConsoleSession::restoreCommand(const RegisterSession &session)
{
    auto quoted = [](const QString &text) {
        static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:\\\\-]+$"));
        return plain.match(text).hasMatch() ? text : QStringLiteral("\"%1\"").arg(text);
    };
    QString command = QStringLiteral("korvane-cli backup restore %1 --serial %2 --from %3")
                              .arg(session.address(), quoted(session.expectedSerial()),
                                   quoted(QDir::toNativeSeparators(session.backupFile())));
    if (session.port() != RegisterDefaults::TcpPort)
        command += QStringLiteral(" --port %1").arg(session.port());
    return command;
}

void ConsoleSession::showProgress(const QString &text, int done)
{
    if (done <= m_lastFrame && m_area + 1 < m_areaPages.size())
        ++m_area;
    m_lastFrame = done;
    const int total = m_areaPages.value(m_area);
    Console::progress(total > 0 ? tr("%1 %2 из %3").arg(text).arg(done).arg(total)
                                : tr("%1 %2").arg(text).arg(done));
}
