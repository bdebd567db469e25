#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// What korvane-cli keeps of one register in a file: the parameters read from
// it ("params read") or its whole profile ("profile export"). Plain JSON text
// with the binary blocks in base64, so the file survives mail and editors:
//
//   { "format": "korvane-profile", "formatVersion": 1,
//     "serial": "...", "version": "2.53.10", "goodsCapacity": 2000,
//     "params": "<base64>", "system": "<base64>", "goods": "<base64>" }
//
// "goods" may be absent (a parameter file); the other members are required.
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

    QByteArray toJson() const;
    // False with *error when the text is no file of ours or its blocks do not
    // fit the family it names; *this is then unchanged.
    bool fromJson(const QByteArray &json, QString *error);

    // Whole-file I/O; an error names the file.
    bool read(const QString &path, QString *error);
    bool write(const QString &path, QString *error) const;

    // The smallest params image that holds every table of the version's
    // family; 0 for an unknown family.
    static int layoutSize(const QString &version);
};
