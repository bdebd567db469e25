#pragma once

#include "session/registeridentity.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

class DeviceNet;

// The copy of what a write is about to overwrite, taken and stored before the
// first write request, and the read back after the last one: both run on the
// link's thread, inside the write's own exchange. Its state is written there
// and read by the owner only after the exchange has reported its end.
class WriteGuard
{
    Q_DECLARE_TR_FUNCTIONS(WriteGuard)

public:
    // A parameter write of `params` and `system` (either may be empty: that
    // area is not written).
    static WriteGuard forParams(const QString &serial, const QByteArray &params, const QByteArray &system);
    // A goods write of the goods area image `areaImage` from the area's first page.
    static WriteGuard forGoods(const QString &serial, const QByteArray &areaImage);

    // 0 once the backup is stored; otherwise the write must not start.
    int backUp(DeviceNet &net, const RegisterIdentity &identity);
    // 0 when the register holds what was written.
    int verify(DeviceNet &net);

    QString backupFile() const { return m_backupFile; }
    // Why backUp() or verify() failed.
    QString reason() const { return m_reason; }

private:
    enum class Kind { Params, Goods };

    WriteGuard(Kind kind, const QString &serial);
    int backUpParams(DeviceNet &net, const RegisterIdentity &identity);
    int backUpGoods(DeviceNet &net, const RegisterIdentity &identity);
    int compare(const QByteArray &expected, const QByteArray &read, int firstPage);

    Kind m_kind;
    QString m_serial;
    QByteArray m_params;
    QByteArray m_system;
    QByteArray m_goods;
    // The goods area pages as they were, for what the write leaves of them.
    QByteArray m_goodsBefore;
    QString m_backupFile;
    QString m_reason;
};
