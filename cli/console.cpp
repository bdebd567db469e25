#include "cli/console.h"

#include <QIODevice>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

QIODevice *capturedOut = nullptr;
QIODevice *capturedErr = nullptr;
bool progressOpen = false;

void write(FILE *stream, QIODevice *captured, const QByteArray &bytes)
{
    if (captured) {
        captured->write(bytes);
        return;
    }
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

bool errorIsTerminal()
{
    if (capturedErr)
        return false;
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr));
#else
    return isatty(fileno(stderr));
#endif
}

}

void Console::prepare()
{
#ifdef Q_OS_WIN
    SetConsoleOutputCP(CP_UTF8);
#endif
}

void Console::out(const QString &line)
{
    write(stdout, capturedOut, line.toUtf8() + '\n');
}

void Console::error(const QString &line)
{
    endProgress();
    write(stderr, capturedErr, line.toUtf8() + '\n');
}

bool Console::showsProgress()
{
    return errorIsTerminal();
}

void Console::progress(const QString &text)
{
    if (!errorIsTerminal())
        return;
    // Carriage return and clear-to-end rewrite the line in place.
    write(stderr, nullptr, "\r" + text.toUtf8() + "\x1b[K");
    progressOpen = true;
}

void Console::endProgress()
{
    if (!progressOpen)
        return;
    progressOpen = false;
    write(stderr, nullptr, "\n");
}

void Console::capture(QIODevice *out, QIODevice *err)
{
    capturedOut = out;
    capturedErr = err;
}
