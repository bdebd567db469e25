#include "goods/filteringcsvsource.h"

#include "goods/goodscsv.h"

FilteringCsvSource::FilteringCsvSource(const QByteArray &bytes)
    : QCsvSource(bytes)
{
}

int FilteringCsvSource::read(char *buffer, int size)
{
    const int got = QCsvSource::read(buffer, size);
    filterGoodsCsv(buffer, got);
    return got;
}
