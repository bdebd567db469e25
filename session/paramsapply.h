#pragma once

#include "session/firmwarefamily.h"
#include "session/paramsdiff.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

// A chain's shared settings taken from a template into one register's
// parameters: only the chosen groups change, and only the values their pages
// edit; the serial number, the registration data and every byte of the other
// groups stay as they were.
class ParamsApply
{
    Q_DECLARE_TR_FUNCTIONS(ParamsApply)

public:
    using Group = FirmwareFamily::Page;

    // configuration, positions, departments, receipt design, OFD settings.
    static QList<Group> defaultGroups();
    // A comma-separated list of configuration, positions, departments,
    // design, ofd, users, organisation; false with *error for another name.
    static bool parseGroups(const QString &list, QList<Group> *groups, QString *error);
    static QString groupNames();

    // The register's params image with the groups of `source` in it. Both of
    // one family; false with *error otherwise.
    static bool apply(const ParamsDiff::Blocks &source, const ParamsDiff::Blocks &target, const QList<Group> &groups,
                      QByteArray *params, QString *error);
};
