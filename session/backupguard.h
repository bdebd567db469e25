#pragma once

#include "session/registeridentity.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

class DeviceNet;
class ProfileFile;

// The backups an exchange takes, on the link's thread and inside the
// exchange itself: before a write, a copy of what it is about to overwrite,
// stored before the first write request, and the read back after the last
// one; or, for a snapshot, a params and a goods backup of the register without
// any write. Its state is written on the link's thread and read by the owner
// only after the exchange has reported its end.
class BackupGuard
{
    Q_DECLARE_TR_FUNCTIONS(BackupGuard)

public:
    // A parameter write of `params` and `system` (either may be empty: that
    // area is not written).
    static BackupGuard forParams(const QString &serial, const QByteArray &params, const QByteArray &system);
    // A goods write of the goods area image `areaImage` from the area's first page.
    static BackupGuard forGoods(const QString &serial, const QByteArray &areaImage);
    // Both backups around a parameter read, which brings the params.
    static BackupGuard forSnapshot(const QString &serial);

    // Before the operation: 0 once the backup is stored (a snapshot reads
    // its goods here); otherwise the operation must not start.
    int before(DeviceNet &net, const RegisterIdentity &identity);
    // After it: 0 when the register holds what was written, or once the
    // snapshot's backups are stored.
    int after(DeviceNet &net);

    // The backups stored, the params one first.
    QStringList files() const { return m_files; }
    // Why before() or after() failed.
    QString reason() const { return m_reason; }

private:
    enum class Kind { Params, Goods, Snapshot };

    BackupGuard(Kind kind, const QString &serial);
    int readParams(DeviceNet &net);
    int readGoods(DeviceNet &net, int touchedPages);
    int store(ProfileFile &file, const QString &kind);
    int verify(DeviceNet &net);
    int compare(const QByteArray &expected, const QByteArray &read, int firstPage);

    Kind m_kind;
    QString m_serial;
    RegisterIdentity m_identity;
    // What a write sends.
    QByteArray m_params;
    QByteArray m_system;
    QByteArray m_goods;
    // What the register held.
    QByteArray m_paramsBefore;
    QByteArray m_systemBefore;
    QByteArray m_goodsBefore;
    QStringList m_files;
    QString m_reason;
};
