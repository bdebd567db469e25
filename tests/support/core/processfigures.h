#pragma once

#include <QDir>
#include <QFile>

// What the process holds right now, for tests that must leave nothing behind.
// Read from /proc on Linux; elsewhere every figure is -1 and callers skip
// their checks. A Windows build never reads /proc: under wine it would count
// the emulator's own descriptors.
namespace processfigures {

inline bool available()
{
#ifdef Q_OS_WIN
    return false;
#else
    return QFile::exists(QStringLiteral("/proc/self/status"));
#endif
}

inline int entries(const QString &dir)
{
    if (!available())
        return -1;
    return int(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

// Threads of the process.
inline int threads()
{
    return entries(QStringLiteral("/proc/self/task"));
}

// Open file descriptors (sockets included).
inline int descriptors()
{
    return entries(QStringLiteral("/proc/self/fd"));
}

// A line "Name:   1234 kB" of /proc/self/status, in KiB.
inline qint64 statusKiB(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

inline qint64 residentKiB() { return statusKiB("VmRSS"); }
inline qint64 peakResidentKiB() { return statusKiB("VmHWM"); }

} // namespace processfigures
