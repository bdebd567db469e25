#pragma once

#include "goods/qcsvsource.h"

// Feeds the CSV reader a goods file of the current layout through the
// character filter (filterGoodsCsv), byte by byte as the reader takes them
// in, so that the file is not copied once more only to be filtered.
class FilteringCsvSource : public QCsvSource
{
public:
    explicit FilteringCsvSource(const QByteArray &bytes);

    int read(char *buffer, int size) override;
};
