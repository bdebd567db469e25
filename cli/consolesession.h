#pragma once

#include "session/profilefile.h"
#include "session/registersession.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <functional>

// A register session run to its end from the command line: progress on a
// terminal, any failure as one line on standard error, a CliStatus back.
class ConsoleSession
{
    Q_DECLARE_TR_FUNCTIONS(ConsoleSession)

public:
    // An empty serial asks for no check (identify).
    ConsoleSession(const QString &address, quint16 port, const QString &serial);

    int identify();
    // A register whose whole serial number differs from the one asked for
    // is refused here, after the read.
    int readParams(QByteArray *params, QByteArray *system);
    int writeParams(const QByteArray &params, const QByteArray &system, const QString &version);
    int readGoods(QByteArray *records);
    // Unless `force`, goods beyond the register's capacity are refused with
    // StatusIssues; the caller lists that problem as its own.
    int writeGoods(const QByteArray &areaImage, int rows, bool force);
    int restore(const ProfileFile &backup);

    QString address() const { return m_session.address(); }
    // What the register reported in the last exchange.
    RegisterIdentity identity() const { return m_session.identity(); }
    QString explanation() const { return m_session.explanation(); }
    // The command that writes the latest backup of `session` back.
    static QString restoreCommand(const RegisterSession &session);

private:
    // `failure` carries %1 for the result code.
    int run(const QString &failure, const QString &progressText, const QVector<int> &areaPages,
            const std::function<void()> &start);
    int report(const QString &failure);
    void showProgress(const QString &text, int done);

    RegisterSession m_session;
    // Pages of each area the exchange moves; frame() counts restart per area.
    QVector<int> m_areaPages;
    int m_area = 0;
    int m_lastFrame = 0;
};
