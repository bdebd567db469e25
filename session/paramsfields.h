#pragma once

#include "session/firmwarefamily.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

class DeviceParams;

// One value an editor page shows, as it shows it, and where it lies in the
// register's areas: what a comparison of two sets names, and where the device
// window leads to from it.
struct ParamsField
{
    FirmwareFamily::Page page = FirmwareFamily::Page::Config;
    QString pageTitle;
    int row = 0;        // 1-based row of a table page; 0 on a form
    QString label;      // the page's label or column header, without its colon
    QString value;
    QString control;    // object name of the page's control, or of its table view
    int column = -1;    // the view's column of a table cell
    bool system = false;  // in the system block rather than the params image
    int offset = 0;     // bytes of the area that hold the value
    int size = 0;

    // Same page, row and label.
    bool sameField(const ParamsField &other) const;
};

// Every value the pages of a set's family show, page by page in window order,
// rows in order, fields in the order a page lays them out.
class ParamsFields
{
    Q_DECLARE_TR_FUNCTIONS(ParamsFields)

public:
    static QVector<ParamsField> of(const DeviceParams &set);
};
