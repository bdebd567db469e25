#include "sim/simstorage.h"

#include <array>

#include <QtEndian>

bool SimStorage::checkLayout(const Layout &l, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (l.systemPages < 0 || l.area3Pages < 0 || l.area4Pages < 0)
        return fail(QStringLiteral("area page counts must not be negative"));
    if (l.paramsPages < 2)
        return fail(QStringLiteral("the params area needs at least 2 pages"));
    if (l.goodsPages < 1)
        return fail(QStringLiteral("the goods area needs at least 1 page"));
    const qint64 total = 1 + qint64(l.systemPages) + l.paramsPages + l.area3Pages + l.area4Pages + l.goodsPages;
    if (total > MaxPages)
        return fail(QStringLiteral("storage of %1 pages is larger than %2 pages").arg(total).arg(MaxPages));
    return true;
}

QByteArray SimStorage::endMarkerRecord()
{
    QByteArray r(128, '\0');
    r[0] = char(0xFF);
    r[1] = char(0xFF);
    return r;
}

QByteArray SimStorage::emptyGoodsImage()
{
    return QByteArray(128, '\0') + endMarkerRecord();
}

void SimStorage::format(const Layout &l)
{
    const int counts[AreaCount] = {l.systemPages, l.paramsPages, l.area3Pages, l.area4Pages, l.goodsPages};
    int total = 1;
    for (int c : counts)
        total += c;
    m_bytes = QByteArray(total * PageSize, '\0');

    // Built apart and copied in: GCC 12 cannot see that the fresh array is
    // larger than its empty shared block and warns about every write.
    std::array<char, 6 + 8 * AreaCount> header{};
    char *p = header.data();
    qToLittleEndian<quint32>(HeaderMagic, p);
    qToLittleEndian<quint16>(l.headerWord, p + 4);
    int first = 1;
    for (int i = 0; i < AreaCount; ++i) {
        char *d = p + 6 + 8 * i;
        qToLittleEndian<quint16>(quint16(i + 1), d);
        qToLittleEndian<quint16>(quint16(first), d + 2);
        qToLittleEndian<quint16>(quint16(counts[i]), d + 4);
        qToLittleEndian<quint16>(0, d + 6);
        first += counts[i];
    }
    m_bytes.replace(0, int(header.size()), header.data(), int(header.size()));

    // Goods area: the empty image on its first page, end markers after it.
    const int goodsFirst = total - l.goodsPages;
    write(goodsFirst, emptyGoodsImage());
    const QByteArray markers = endMarkerRecord() + endMarkerRecord();
    for (int page = goodsFirst + 1; page < total; ++page)
        write(page, markers);
}

bool SimStorage::load(const QByteArray &bytes, QString *error)
{
    if (bytes.isEmpty() || bytes.size() % PageSize != 0 || bytes.size() / PageSize > MaxPages) {
        if (error)
            *error = QStringLiteral("state holds %1 bytes, not a whole number of pages (1..%2)")
                         .arg(bytes.size()).arg(MaxPages);
        return false;
    }
    m_bytes = bytes;
    return true;
}

bool SimStorage::contains(int first, int count) const
{
    return first >= 0 && count >= 0 && qint64(first) + count <= pageCount();
}

QByteArray SimStorage::read(int first, int count) const
{
    if (!contains(first, count))
        return QByteArray();
    return m_bytes.mid(first * PageSize, count * PageSize);
}

bool SimStorage::write(int first, const QByteArray &data)
{
    if (first < 0 || qint64(first) * PageSize + data.size() > m_bytes.size())
        return false;
    memcpy(m_bytes.data() + first * PageSize, data.constData(), size_t(data.size()));
    return true;
}

bool SimStorage::area(int id, Area *out) const
{
    if (id < 1 || id > AreaCount || m_bytes.size() < PageSize)
        return false;
    const char *p = m_bytes.constData();
    if (qFromLittleEndian<quint32>(p) != HeaderMagic)
        return false;
    const char *d = p + 6 + 8 * (id - 1);
    if (qFromLittleEndian<quint16>(d) != id)
        return false;
    out->first = qFromLittleEndian<quint16>(d + 2);
    out->count = qFromLittleEndian<quint16>(d + 4);
    return true;
}
