#pragma once

#include <QCoreApplication>
#include <QString>

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
};
