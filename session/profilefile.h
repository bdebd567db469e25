#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// What is kept of one register in a file: the parameters read from it
// ("params read"), its whole profile ("profile export"), or a backup taken
// before a write. Plain JSON text with the binary blocks in base64, so the
// file survives mail and editors:
//
//   { "format": "korvane-profile", "formatVersion": 1,
//     "serial": "...", "version": "2.53.10", "goodsCapacity": 2000,
//     "params": "<base64>", "system": "<base64>", "goods": "<base64>",
//     "goodsArea": "<base64>", "backup": { "kind": "goods", "time": "..." } }
//
// "goods" may be absent (a parameter file); the other members are required.
// A goods backup adds "goodsArea", the pages of the register's goods area as
// they were, header record and all, so that a restore puts back every byte;
// "backup" says what a backup holds and when it was taken. Readers that do
// not know these members pass over them.
class ProfileFile
{
    Q_DECLARE_TR_FUNCTIONS(ProfileFile)

public:
    static constexpr int FormatVersion = 1;

    QString serial;
    QString version;
    int goodsCapacity = 0;
    QByteArray params;
    QByteArray system;
    QByteArray goods;
    bool hasGoods = false;
    QByteArray goodsArea;
    QString backupKind;  // "params" or "goods" in a backup, else empty
    QDateTime backupTime;

    QByteArray toJson() const;
    // False with *error when the text is no file of ours or its blocks do not
    // fit the family it names; *this is then unchanged.
    bool fromJson(const QByteArray &json, QString *error);

    // Whole-file I/O; an error names the file.
    bool read(const QString &path, QString *error);
    bool write(const QString &path, QString *error) const;

    static QString paramsKind() { return QStringLiteral("params"); }
    static QString goodsKind() { return QStringLiteral("goods"); }
};
