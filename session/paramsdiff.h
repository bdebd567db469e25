#pragma once

#include "session/paramsfields.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <QVector>

#include <memory>

class DeviceParams;

// One difference between two parameter sets of one family: a value a page
// shows, or a run of bytes no page shows.
struct ParamsDifference
{
    // The field as the first set shows it; its value is the first set's.
    ParamsField field;
    QString before;
    QString after;
    bool shown = true;   // false: bytes no page shows
    bool system = false; // of the system block rather than the params image
    int offset = 0;      // of those bytes
    int size = 0;

    // "Отделы, 3: Наименование: «Молочная» → «Бакалея»", or the bytes by offset.
    QString text() const;
    QJsonObject toJson() const;
};

// Two sets of blocks of one family compared the way the editor would show
// them, and byte by byte where it shows nothing.
class ParamsDiff
{
    Q_DECLARE_TR_FUNCTIONS(ParamsDiff)

public:
    struct Blocks
    {
        QString serial;
        QString version;
        QByteArray params;
        QByteArray system;
    };

    // The blocks as their family's parameter set; the version must name a family.
    static std::unique_ptr<DeviceParams> load(const Blocks &blocks);
    // False with *error when the two are not of one family the utility edits.
    static bool compare(const Blocks &a, const Blocks &b, QVector<ParamsDifference> *differences, QString *error);
};
