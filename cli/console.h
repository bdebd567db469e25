#pragma once

#include <QString>

class QIODevice;

// Standard output and error as UTF-8 lines. Progress goes to standard error
// only when that is a terminal, so scripts and logs see clean lines.
class Console
{
public:
    // Lets Cyrillic reach a Windows console.
    static void prepare();

    static void out(const QString &line);
    static void error(const QString &line);

    // Progress is shown only on a terminal.
    static bool showsProgress();
    static void progress(const QString &text);
    // Ends a progress line so that the next line starts at the left.
    static void endProgress();

    // Tests that run a command in-process read both streams from here; null
    // devices restore the process's own streams.
    static void capture(QIODevice *out, QIODevice *err);
};
