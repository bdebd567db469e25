#pragma once

#include <QCoreApplication>
#include <QString>

class ProfileFile;
class QWidget;

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
};
