#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class ProfileFile;
class QWidget;
class RegisterSession;

// Lets the user choose one of a register's backups of one kind and confirm
// that it goes back to the register.
class BackupPicker
{
    Q_DECLARE_TR_FUNCTIONS(BackupPicker)

public:
    // The chosen and confirmed backup file; empty when there is none, or the
    // user chose none or did not confirm.
    static QString choose(QWidget *parent, const QString &title, const QString &serial, const QString &kind);
    // The backup in `file`; false once a box has said why it cannot be read.
    static bool read(QWidget *parent, const QString &title, const QString &file, ProfileFile *backup);
    // Writes the backup in `file` back to the session's register under a
    // progress dialog once the register answers a probe; `finished` gets the
    // backup when the exchange has ended. Nothing starts when a box has said
    // why the file cannot be read or the register is not reached.
    static void restore(QWidget *owner, RegisterSession &session, const QString &file,
                        const std::function<void(const ProfileFile &)> &finished);
};
