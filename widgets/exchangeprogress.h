#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class QObject;
class QWidget;
class RegisterSession;

// One operation of a window's register session under the modal progress
// dialog: the dialog follows the link and closes when the operation ends, and
// `finished` runs once with the session's outcome in place, also when the
// dialog was cancelled and the operation went on.
class ExchangeProgress
{
    Q_DECLARE_TR_FUNCTIONS(ExchangeProgress)

public:
    struct Options
    {
        QString progressText;   // shown once the link is up
        bool cancelStops = false;
        bool showPages = false; // the bar counts the pages of the transfer
    };

    // `start` starts one operation of `session`; `finished` is called on
    // `context`, and not at all once `context` is gone.
    // The probe before an exchange; a register that does not answer is
    // reported in a warning under `title`.
    static bool isReachable(QWidget *owner, const QString &title, const QString &address);

    static void run(QWidget *owner, RegisterSession &session, const Options &options, QObject *context,
                    const std::function<void()> &finished, const std::function<void()> &start);
};
