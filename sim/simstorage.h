#pragma once

// The simulated register's storage: 256-byte pages. Page 0 holds the magic
// 0xAA005500, a header word and five area descriptors {id, first page, page
// count, reserved}; the areas follow in id order: 1 system, 2 params, 3 and 4
// (unused by the utility), 5 goods.

#include <QByteArray>
#include <QString>

class SimStorage
{
public:
    static constexpr int PageSize = 256;
    static constexpr quint32 HeaderMagic = 0xAA005500u;
    static constexpr int AreaCount = 5;
    static constexpr int MaxPages = 65535; // page numbers are 16-bit in the header

    struct Layout
    {
        int systemPages = 4;
        int paramsPages = 21;
        int area3Pages = 1;
        int area4Pages = 1;
        int goodsPages = 1001;
        quint16 headerWord = 1;
    };

    struct Area
    {
        int first = 0;
        int count = 0;
    };

    // Checks a layout: every area at least 0 pages, the goods area at least 1,
    // the params area at least 2 pages (the 2.53 serial lives on its second page),
    // and the whole storage within MaxPages.
    static bool checkLayout(const Layout &layout, QString *error);

    // A fresh storage: header, zero system, params and unused areas, and a goods
    // area holding an empty goods area image (header record and end marker) with
    // end-marker records on every later page.
    void format(const Layout &layout);

    // Replaces the storage with raw page bytes (a state file); the size must be
    // a non-zero multiple of 256 of at most MaxPages pages.
    bool load(const QByteArray &bytes, QString *error);
    const QByteArray &bytes() const { return m_bytes; }

    int pageCount() const { return m_bytes.size() / PageSize; }
    bool contains(int first, int count) const;
    QByteArray read(int first, int count) const;
    // Writes data from the start of page first; false (nothing written) if it
    // would run past the end of the storage.
    bool write(int first, const QByteArray &data);

    // The descriptor of area id (1..5) as page 0 now holds it; false when the
    // header's magic or that descriptor's id is wrong.
    bool area(int id, Area *out) const;

    // The empty goods area image: a header record of 128 zero bytes
    // and one end-marker record (number FF FF, the rest zero).
    static QByteArray emptyGoodsImage();
    static QByteArray endMarkerRecord();

private:
    QByteArray m_bytes;
};
