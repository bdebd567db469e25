#pragma once

#include "link/devicecontroller.h"
#include "link/registerdefaults.h"
#include "session/registeridentity.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class ProfileFile;
class BackupGuard;

// One register at one address, as every window and korvane-cli reach it:
// the probe, one exchange through the DeviceController, the safeguards around
// it, and a result code with its worded explanation. The safeguards: an
// exchange beyond identification needs firmware the utility supports; a
// register whose areas cannot hold its family's tables is not read; nothing
// is written to a register whose whole serial number differs from the one
// expected, nor parameters of another family; goods beyond the register's
// capacity are not written unless asked for. Every write first stores a
// backup of what it overwrites (nothing is written when it cannot) and reads
// back what it wrote.
//
// Each operation returns at once; finished() follows exactly once.
class RegisterSession : public QObject
{
    Q_OBJECT

public:
    explicit RegisterSession(QObject *parent = nullptr);
    ~RegisterSession() override;

    void setAddress(const QString &address, quint16 port = RegisterDefaults::TcpPort);
    QString address() const { return m_address; }
    quint16 port() const { return m_port; }
    // The serial number the register must have; empty asks for no check.
    void setExpectedSerial(const QString &serial) { m_expectedSerial = serial; }
    QString expectedSerial() const { return m_expectedSerial; }
    // Windows ask the probe themselves, with their own prompts, before they
    // start an operation; the command line lets the session ask.
    void setProbeFirst(bool probe) { m_probeFirst = probe; }
    // Tests shorten the link's waits.
    void setReplyTimeout(int msecs) { m_controller.setReplyTimeout(msecs); }
    void setConnectTimeout(int msecs) { m_controller.setConnectTimeout(msecs); }

    // The one probe before an exchange.
    static bool isReachable(const QString &address);

    void identify();
    void readParams();
    // `version` names the family the blocks are laid out for. With
    // `sameSize`, blocks that would not fill the register's areas exactly
    // are refused instead of being padded with zeros.
    void writeParams(const QByteArray &params, const QByteArray &system, const QString &version,
                     bool sameSize = false);
    void readGoods();
    // The goods area image; `rows` goods in it. Unless `beyondCapacity`,
    // goods the register's capacity does not allow are not written.
    void writeGoods(const QByteArray &areaImage, int rows, bool beyondCapacity = true);
    // Writes a backup (BackupStore) back to the register, as any write: the
    // current state is backed up first and the result read back.
    void restore(const ProfileFile &backup);
    // A params and a goods backup of the register, in one exchange.
    void backUp();
    // Cancels the running exchange after its current step.
    void stop();
    bool isBusy() const { return m_busy; }
    // Runs the caller's event loop until the running operation has finished.
    void waitForFinished();

    // After finished(): 0, a link result code or a SessionResult code.
    int result() const { return m_result; }
    RegisterIdentity identity() const { return m_identity; }
    // The register's serial number is the expected one, in full.
    bool serialMatches() const;
    // The backup the latest write stored, empty when it stored none.
    QString backupFile() const { return m_backupFiles.value(0); }
    // Every backup the latest operation stored, the params one first.
    QStringList backupFiles() const { return m_backupFiles; }
    // The latest write failed after its backup: the register's area may hold
    // part of the new data, and the backup is what to restore.
    bool partlyWritten() const { return m_result != 0 && m_op != DeviceRequest::ReadParams && !m_backupFiles.isEmpty(); }
    QByteArray params() const { return m_params; }
    QByteArray system() const { return m_system; }
    QByteArray goods() const { return m_goods; }
    // The result in words, for a line on standard error or a message box's
    // informative text: what the code means, at which address, and for a
    // serial number mismatch which register answered.
    QString explanation() const;
    // The same as sentences with the register's address, for the informative
    // text under a message box's own.
    QString informativeText() const;

signals:
    void connected();
    void frame(int done);
    void pages(int count);
    void finished();

private:
    struct Shared;
    // The operation's own safeguard on the link's thread: 0 to go on, or a
    // result code with, where the code alone says too little, its reason.
    using Gate = std::function<int(const RegisterIdentity &identity, QString *reason)>;

    void start(int op, const QByteArray &input, const Gate &gate,
               const std::shared_ptr<BackupGuard> &guard = nullptr);
    void onControllerFinished();
    void finish(int result);

    DeviceController m_controller;
    QString m_address;
    quint16 m_port = RegisterDefaults::TcpPort;
    QString m_expectedSerial;
    bool m_probeFirst = true;
    bool m_busy = false;
    int m_op = 0;
    int m_result = 0;
    RegisterIdentity m_identity;
    QString m_reason;
    QStringList m_backupFiles;
    std::shared_ptr<Shared> m_shared;
    QByteArray m_params;
    QByteArray m_system;
    QByteArray m_goods;
};
