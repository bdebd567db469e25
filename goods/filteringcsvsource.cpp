#include "goods/filteringcsvsource.h"

#include "goods/goodscsv.h"

#include <algorithm>
#include <cstring>

FilteringCsvSource::FilteringCsvSource(const QByteArray &bytes, const QByteArray &prefix)
    : QCsvSource(bytes)
    , m_prefix(prefix)
{
}

int FilteringCsvSource::read(char *buffer, int size)
{
    // The reader takes a short first read for the end of the data: the
    // prefix and the bytes after it go out together.
    const int fromPrefix = std::max(0, std::min(size, m_prefix.size() - m_prefixSent));
    std::memcpy(buffer, m_prefix.constData() + m_prefixSent, std::size_t(fromPrefix));
    m_prefixSent += fromPrefix;
    const int got = fromPrefix + QCsvSource::read(buffer + fromPrefix, size - fromPrefix);
    filterGoodsCsv(buffer, got);
    return got;
}
