#pragma once

#include "goods/qcsvsource.h"

// Feeds the CSV reader a goods file of the current layout through the
// character filter (filterGoodsCsv), byte by byte as the reader takes them
// in, so that the file is not copied once more only to be filtered. A
// `prefix` comes before the bytes: the header line in front of a later part
// of a file, which then need not be copied to follow it.
class FilteringCsvSource : public QCsvSource
{
public:
    explicit FilteringCsvSource(const QByteArray &bytes, const QByteArray &prefix = QByteArray());

    int read(char *buffer, int size) override;

private:
    QByteArray m_prefix;
    int m_prefixSent = 0;
};
