#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QVector>

class ProfileFile;

// One stored backup, as a list of them shows it.
struct BackupEntry
{
    QString file;          // absolute path
    QString kind;          // ProfileFile::paramsKind() or goodsKind()
    QDateTime time;
    int size = 0;          // bytes of the areas it holds
    QString organisation;  // params backups: the organisation name in them
    int goods = -1;        // goods backups: the number of goods
};

// The copies of a register taken before each write, in the application's data
// folder: backups/<serial>/<yyyyMMdd-HHmmss>-params.json or -goods.json, in
// the profile-file format. The newest Kept of each kind stay per register.
// Storing is safe on any thread: the link's thread stores as it reads.
class BackupStore
{
    Q_DECLARE_TR_FUNCTIONS(BackupStore)

public:
    static constexpr int Kept = 30;

    // Empty for a serial number that cannot name a folder of its own.
    static QString folder(const QString &serial);
    // Writes `file` (its serial and backup kind set) under a new name and
    // lets the oldest of its kind go; the path, or empty with *error.
    static QString store(const ProfileFile &file, QString *error);
    // Every backup of the register, newest first.
    static QVector<BackupEntry> list(const QString &serial);
    // What the file holds, and the backup itself in *backup when given; false
    // with *error when it is no backup.
    static bool describe(const QString &path, BackupEntry *entry, QString *error, ProfileFile *backup = nullptr);
};
