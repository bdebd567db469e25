#include "goods/goodscsv.h"

#include "goods/qcsvsource.h"
#include "params/cp1251codec.h"

#include <QDebug>

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <utility>

namespace {

using GoodsCsvReader = io::CSVReader<5, io::trim_chars<' '>, io::double_quote_escape<';', '"'>,
                                     io::throw_on_overflow, io::empty_line_comment>;
using HeaderTexts = std::array<std::string, 5>;

const char *const kHeaderLine = "name;intcode;barcode;price;dept\n";
const HeaderTexts kColumns = {"name", "intcode", "barcode", "price", "dept"};
const HeaderTexts kOldColumns = {"INTCODE", "NAME", "BARCODE", "DEPT", "PRICE"};

// Byte by byte: the byte itself where a goods file may hold it, else a space.
const std::array<char, 256> &filterTable()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t;
        t.fill(' ');
        t['\n'] = '\n';
        for (int b = 0x21; b <= 0x7E; ++b)
            t[b] = char(b);
        // Windows-1251: А..я at 0xC0..0xFF, Ё 0xA8, ё 0xB8, № 0xB9.
        for (int b = 0xC0; b <= 0xFF; ++b)
            t[b] = char(b);
        for (int b : {0xA8, 0xB8, 0xB9})
            t[b] = char(b);
        return t;
    }();
    return table;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The reader's own conversion adds digit after digit and misses the nearest
// double for about a quarter of all two-decimal prices, so a saved price would
// not read back as itself. The text is held to the same grammar (sign, digits,
// "." or "," and digits, exponent; empty means 0) and converted correctly rounded.
bool parsePrice(const char *text, double *price)
{
    // Short prices stay in the string's own buffer: no allocation per row.
    std::string number;
    const char *p = text;
    if (*p == '-')
        number += *p;
    if (*p == '+' || *p == '-')
        ++p;
    bool digits = false;
    for (; isDigit(*p); ++p) {
        number += *p;
        digits = true;
    }
    if (*p == '.' || *p == ',') {
        number += '.';
        for (++p; isDigit(*p); ++p) {
            number += *p;
            digits = true;
        }
    }
    if (*p == 'e' || *p == 'E') {
        ++p;
        std::string exponent = "e";
        if (*p == '+' || *p == '-')
            exponent += *p++;
        bool exponentDigits = false;
        for (; isDigit(*p); ++p) {
            exponent += *p;
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }
    if (*p != '\0')
        return false;
    if (!digits) {
        *price = 0.0;
        return true;
    }
    double value = 0.0;
    const char *end = number.data() + number.size();
    const std::from_chars_result parsed = std::from_chars(number.data(), end, value);
    // Out of range or infinite: no price a register could hold.
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value))
        return false;
    *price = value;
    return true;
}

// Two decimals are all a register keeps; fixed notation, because spreadsheets
// and older readers of these files take "1.2e+06" as text.
QByteArray formatPrice(double price)
{
    QByteArray text = QByteArray::number(price, 'f', 2);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    if (text == "-0")
        text = "0";
    return text;
}

QString decodeField(const char *field)
{
    return Cp1251Codec::decode(QByteArray::fromRawData(field, int(std::strlen(field))));
}

// The first part of the first line equal to each column name, ignoring case,
// as the file writes it: the reader is then given the file's own spelling.
bool findHeader(const QByteArray &bytes, HeaderTexts *texts)
{
    const int end = bytes.indexOf('\n');
    QByteArray line = end < 0 ? bytes : bytes.left(end);
    // The reader drops the carriage return of a CRLF header; so must the check.
    if (line.endsWith('\r'))
        line.chop(1);
    const QList<QByteArray> parts = line.split(';');
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const QString column = QString::fromLatin1(kColumns[i].c_str());
        bool found = false;
        for (const QByteArray &part : parts) {
            if (Cp1251Codec::decode(part).compare(column, Qt::CaseInsensitive) == 0) {
                (*texts)[i] = part.toStdString();
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

// Fills `item` from the next row; false at the end of the data. A price that is
// no number clears `ok`.
using RowReader = bool (*)(GoodsCsvReader &reader, GoodsItem *item, bool *ok);

bool readCurrentRow(GoodsCsvReader &reader, GoodsItem *item, bool *ok)
{
    char *name = nullptr;
    char *intcode = nullptr;
    char *barcode = nullptr;
    char *price = nullptr;
    if (!reader.read_row(name, intcode, barcode, price, item->dept))
        return false;
    item->name = decodeField(name);
    item->intcode = decodeField(intcode);
    item->barcode = decodeField(barcode);
    *ok = parsePrice(price, &item->price);
    return true;
}

bool readOldRow(GoodsCsvReader &reader, GoodsItem *item, bool *ok)
{
    char *intcode = nullptr;
    char *name = nullptr;
    char *barcode = nullptr;
    char *price = nullptr;
    if (!reader.read_row(intcode, name, barcode, item->dept, price))
        return false;
    item->intcode = decodeField(intcode);
    item->name = decodeField(name);
    item->barcode = decodeField(barcode);
    *ok = parsePrice(price, &item->price);
    return true;
}

// The reader and everything it throws stay in here.
GoodsCsvResult readRows(const QByteArray &bytes, const HeaderTexts &header, RowReader readRow,
                        GoodsCsvProgress *progress, const QString &fileName)
{
    GoodsCsvResult result;
    try {
        result.goods.reserve(bytes.count('\n'));
        GoodsCsvReader reader(fileName.toUtf8().constData(), std::make_unique<QCsvSource>(bytes));
        reader.read_header(io::ignore_extra_column, header[0], header[1], header[2], header[3],
                           header[4]);
        for (;;) {
            GoodsItem item;
            bool ok = true;
            if (!readRow(reader, &item, &ok))
                break;
            if (!ok) {
                qDebug() << "goods file" << fileName << "row" << result.row << "price is no number";
                result.status = GoodsCsvResult::BadRow;
                result.goods.clear();
                return result;
            }
            result.goods.append(std::move(item));
            if (progress && !progress->advance(result.row + 1)) {
                result.status = GoodsCsvResult::Cancelled;
                return result;
            }
            ++result.row;
        }
    } catch (const std::exception &e) {
        qDebug() << "goods file row" << result.row << e.what();
        result.status = GoodsCsvResult::BadRow;
        result.goods.clear();
    } catch (...) {
        qDebug() << "goods file row" << result.row << "unknown failure";
        result.status = GoodsCsvResult::BadRow;
        result.goods.clear();
    }
    return result;
}

} // namespace

QByteArray filterGoodsCsv(const QByteArray &bytes)
{
    const std::array<char, 256> &table = filterTable();
    QByteArray out(bytes.size(), Qt::Uninitialized);
    const char *src = bytes.constData();
    char *dst = out.data();
    for (int i = 0; i < bytes.size(); ++i)
        dst[i] = table[static_cast<unsigned char>(src[i])];
    return out;
}

GoodsCsvResult readGoodsCsv(const QByteArray &bytes, GoodsCsvProgress *progress,
                            const QString &fileName)
{
    HeaderTexts header;
    if (!findHeader(bytes, &header)) {
        GoodsCsvResult result;
        result.status = GoodsCsvResult::BadHeader;
        return result;
    }
    const QByteArray filtered = filterGoodsCsv(bytes);
    if (progress)
        progress->start(filtered.count('\n'));
    return readRows(filtered, header, readCurrentRow, progress, fileName);
}

GoodsCsvResult readOldGoodsCsv(const QByteArray &bytes, const QString &fileName)
{
    return readRows(bytes, kOldColumns, readOldRow, nullptr, fileName);
}

QByteArray writeGoodsCsv(const GoodsList &goods)
{
    QByteArray out(kHeaderLine);
    for (const GoodsItem &item : goods) {
        QString name = item.name;
        name.replace(QLatin1Char('"'), QLatin1String("\"\""));
        out += '"';
        out += Cp1251Codec::encode(name);
        out += "\";";
        out += Cp1251Codec::encode(item.intcode);
        out += ';';
        out += Cp1251Codec::encode(item.barcode);
        out += ';';
        out += formatPrice(item.price);
        out += ';';
        out += QByteArray::number(item.dept);
        out += '\n';
    }
    return out;
}
