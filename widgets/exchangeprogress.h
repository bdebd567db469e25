#pragma once

#include <QString>

#include <functional>

class DeviceController;
class QObject;
class QWidget;

// One exchange of a window's DeviceController under the modal progress
// dialog: the controller's earlier connections go, the dialog follows the
// link and closes when the exchange ends, and `finished` runs once with the
// controller's outcome in place.
class ExchangeProgress
{
public:
    struct Options
    {
        QString label;          // shown while connecting
        QString progressText;   // shown once the link is up
        bool cancelStops = false;
        bool showPages = false; // the bar counts the pages of the transfer
    };

    // `start` starts one operation on `controller`; `finished` is called on
    // `context`, and not at all once `context` is gone.
    static void run(QWidget *owner, DeviceController &controller, const Options &options,
                    QObject *context, const std::function<void()> &finished,
                    const std::function<void()> &start);
};
