#pragma once

#include <QBuffer>
#include <QByteArray>

// The library copies file names for its messages with a strncpy that GCC
// suspects once it is inlined into our code; the copy is bounded and terminated.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-truncation"
#endif
#include <csv.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

// Feeds the CSV reader from bytes already in memory. The reader owns the
// source and calls read() from its read-ahead thread only, so the buffer is
// never touched by two threads at once.
class QCsvSource : public io::ByteSourceBase
{
public:
    explicit QCsvSource(const QByteArray &bytes);
    ~QCsvSource() override;

    QCsvSource(const QCsvSource &) = delete;
    QCsvSource &operator=(const QCsvSource &) = delete;

    // Bytes delivered into `buffer`, at most `size`; 0 at the end of the data.
    int read(char *buffer, int size) override;

private:
    QBuffer m_buffer;
};
