#pragma once

#include "link/registerdefaults.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QVector>

// One register a fleet command works on.
struct InventoryEntry
{
    QString serial;
    QString address;  // empty: never contacted, reported as offline
    QString name;
    quint16 port = RegisterDefaults::TcpPort;
    int line = 0;     // where an inventory file names it; 0 for the registry
};

// The registers of a fleet command: the registry of the windows, or a
// ";"-separated UTF-8 file with the header "serial;address;name" and an
// optional fourth column "port". A file that is wrong anywhere is refused as
// a whole, naming the line, so that no register is left out unnoticed.
class Inventory
{
    Q_DECLARE_TR_FUNCTIONS(Inventory)

public:
    // False with *error when the registry holds a serial twice, an address
    // that is none, or no register at all.
    static bool fromRegistry(QVector<InventoryEntry> *entries, QString *error);
    static bool fromFile(const QString &path, QVector<InventoryEntry> *entries, QString *error);
    // The file's bytes; `name` is how errors call the file.
    static bool parse(const QByteArray &bytes, const QString &name, QVector<InventoryEntry> *entries,
                      QString *error);
};
