#pragma once

#include "goods/goodsitem.h"

#include <QByteArray>
#include <QString>

// Goods CSV files: ";"-separated Windows-1251 text (UTF-8 is read too) with the header
// "name;intcode;barcode;price;dept" (column order and letter case free, extra
// columns ignored), and an older read-only layout with the upper-case columns
// INTCODE;NAME;BARCODE;DEPT;PRICE. Everything here works on bytes in memory and
// never throws, so a command-line tool or a fuzzer can use it as it is.

struct GoodsCsvResult
{
    enum Status {
        Loaded,     // every row read
        Cancelled,  // stopped by the progress hook; `goods` holds the rows read so far
        BadHeader,  // the header lacks one of the five columns
        BadRow      // the reader failed at row counter `row`
    };

    Status status = Loaded;
    GoodsList goods;  // empty for BadHeader and BadRow
    // 1 while the header or the first data row is read, k + 1 once k data rows
    // are in; blank lines do not count.
    int row = 1;
    // Where a BadRow failure lies: the 1-based line of the file (0 when
    // unknown) and the column as the file's header names it (empty when the
    // failure is not in one column, such as a missing field).
    int line = 0;
    QString column;

    bool succeeded() const { return status == Loaded || status == Cancelled; }
    // "строка 7, столбец price", "строка 7", or empty when the line is unknown.
    QString place() const;
};

// Told about a load of the current layout as it goes.
class GoodsCsvProgress
{
public:
    virtual ~GoodsCsvProgress() = default;
    // Once the header has passed its check; `lineCount` is the number of line
    // feeds in the file.
    virtual void start(int lineCount) = 0;
    // After each data row, with the row counter it moves to; false stops the
    // load and keeps the rows read so far.
    virtual bool advance(int row) = 0;
};

// Every byte that is neither a line feed nor one of the 162 characters a goods
// file may hold (space, printable ASCII, А–Я, а–я, Ё, ё, №) becomes a space.
QByteArray filterGoodsCsv(const QByteArray &bytes);
void filterGoodsCsv(char *bytes, int size);

// The bytes of a goods file in Windows-1251. A file that starts with the
// UTF-8 byte-order mark, or that is valid UTF-8 and holds more than ASCII,
// is converted (characters Windows-1251 lacks become spaces, as bytes outside
// a goods file's characters do); any other file is returned as it is.
QByteArray goodsCsvAsWindows1251(const QByteArray &bytes);

// Reads a file of the current layout. `fileName` only labels the debug output.
GoodsCsvResult readGoodsCsv(const QByteArray &bytes, GoodsCsvProgress *progress = nullptr,
                            const QString &fileName = QString());

// Reads a file of the older layout: no header check, no filter, no progress;
// any failure is BadRow. UTF-8 is read as in the current layout.
GoodsCsvResult readOldGoodsCsv(const QByteArray &bytes, const QString &fileName = QString());

// The file of the current layout for `goods`, in their order, Windows-1251.
// Prices are written as they are, in fixed notation with "." (12.5, 12345.67).
QByteArray writeGoodsCsv(const GoodsList &goods);
