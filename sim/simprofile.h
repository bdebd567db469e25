#pragma once

#include "sim/registersimulator.h"

#include <QByteArray>
#include <QString>

// A register as a profile file or a backup of the utility describes it: its
// family, version, serial number and capacity, and the areas it held. The
// simulator reads the file on its own, so that it stays apart from the
// utility's code, and only as far as it needs to serve such a register.
struct SimProfile
{
    SimConfig config;
    QByteArray params;
    QByteArray system;
    QByteArray goodsArea;  // from the area's first page, header record included

    // False with *error when the file is no such profile or its family is
    // neither 2.52 nor 2.53.
    static bool read(const QString &path, SimProfile *profile, QString *error);
    // Fills a simulator made with `config` with the areas and the serial number.
    bool applyTo(RegisterSimulator &sim, QString *error) const;
};
