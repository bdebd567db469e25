#include "goods/goodscsv.h"

#include "goods/filteringcsvsource.h"
#include "goods/qcsvsource.h"
#include "params/cp1251codec.h"

#include <QCoreApplication>
#include <QDebug>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <future>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
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

const char kUtf8Mark[] = "\xEF\xBB\xBF";

// Strict UTF-8 (no overlong forms, no surrogates) with at least one
// character beyond ASCII. A Windows-1251 text practically never passes: its
// letters are all lead bytes, and two of them never follow each other in UTF-8.
bool isWideUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *const end = p + bytes.size();
    bool wide = false;
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        const int length = lead >= 0xC2 && lead <= 0xDF ? 2
                : lead >= 0xE0 && lead <= 0xEF           ? 3
                : lead >= 0xF0 && lead <= 0xF4           ? 4
                                                         : 0;
        if (length == 0 || end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
        }
        if ((lead == 0xE0 && p[1] < 0xA0) || (lead == 0xED && p[1] >= 0xA0)
            || (lead == 0xF0 && p[1] < 0x90) || (lead == 0xF4 && p[1] >= 0x90))
            return false;
        p += length;
        wide = true;
    }
    return wide;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The reader's own conversion adds digit after digit and misses the nearest
// double for about a quarter of all two-decimal prices, so a saved price would
// not read back as itself. The text is held to the same grammar (sign, digits,
// "." or "," and digits, exponent; empty means 0) and converted correctly rounded.
bool parseAnyPrice(const char *text, double *price)
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

bool parsePrice(const char *text, double *price)
{
    // Most files write "123.45": converted where it stands.
    const char *p = text;
    while (isDigit(*p))
        ++p;
    if (p != text && *p == '.')
        for (++p; isDigit(*p); ++p) {}
    if (p != text && *p == '\0') {
        const std::from_chars_result plain = std::from_chars(text, p, *price);
        return plain.ec == std::errc() && plain.ptr == p;
    }
    return parseAnyPrice(text, price);
}

// Every price as it is, so that a file saved and loaded again holds the same
// prices (the shortest text that reads back as the same number, which for a
// register's prices has at most two decimals); fixed notation, because
// spreadsheets and older readers of these files take "1.2e+06" as text.
QByteArray formatPrice(double price)
{
    if (price == 0.0)
        return QByteArrayLiteral("0");
    // The longest fixed-notation double has about 310 digits.
    char text[400];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, price,
                                                       std::chars_format::fixed);
    return QByteArray(text, int(written.ptr - text));
}

QString decodeField(const char *field)
{
    return Cp1251Codec::decode(field, int(std::strlen(field)));
}

// memchr runs through a line in a few wide steps; a byte loop over the
// whole file costs a good part of reading it.
int lineFeeds(const char *begin, const char *end)
{
    int feeds = 0;
    for (const char *p = begin; p < end; ++feeds) {
        p = static_cast<const char *>(std::memchr(p, '\n', std::size_t(end - p)));
        if (!p)
            break;
        ++p;
    }
    return feeds;
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

void fail(GoodsCsvResult &result, int line, const QString &column)
{
    result.status = GoodsCsvResult::BadRow;
    result.goods.clear();
    result.line = line;
    result.column = column;
}

// The reader's own errors know their line and column when they have one; the
// others happen on the line the reader last took.
void failOn(GoodsCsvResult &result, const std::exception &error, const GoodsCsvReader *reader)
{
    int line = reader ? int(reader->get_file_line()) : 0;
    const auto *onLine = dynamic_cast<const io::error::with_file_line *>(&error);
    if (onLine && onLine->file_line > 0)
        line = onLine->file_line;
    QString column;
    if (const auto *inColumn = dynamic_cast<const io::error::with_column_name *>(&error))
        column = Cp1251Codec::decode(QByteArray(inColumn->column_name));
    qDebug() << "goods file row" << result.row << "line" << line << error.what();
    fail(result, line, column);
}

// Who hears of one reader's rows and who may stop it.
struct Pass
{
    // Whether the bytes go through the character filter on their way in.
    bool filtered = true;
    // Bytes read before them: the header in front of the second half.
    QByteArray prefix;
    GoodsCsvProgress *progress = nullptr;
    // Set when the rows of this reader are no longer wanted.
    const std::atomic<bool> *stop = nullptr;
    // Two readers move at once; the one that reports speaks for both.
    int progressScale = 1;
    int lines = 0;
};

bool goOn(const Pass &pass, int row)
{
    if (pass.stop && pass.stop->load(std::memory_order_relaxed))
        return false;
    return !pass.progress || pass.progress->advance(std::min(row * pass.progressScale, std::max(row, pass.lines)));
}

// The reader and everything it throws stay in here. `header` names the
// columns in the order the row reader takes them; `priceColumn` is the price's.
GoodsCsvResult readRows(const QByteArray &bytes, const HeaderTexts &header, int priceColumn,
                        RowReader readRow, const Pass &pass, const QString &fileName)
{
    GoodsCsvResult result;
    std::unique_ptr<GoodsCsvReader> reader;
    try {
        result.goods.reserve(pass.lines);
        std::unique_ptr<QCsvSource> source;
        if (pass.filtered)
            source = std::make_unique<FilteringCsvSource>(bytes, pass.prefix);
        else
            source = std::make_unique<QCsvSource>(bytes);
        reader = std::make_unique<GoodsCsvReader>(fileName.toUtf8().constData(), std::move(source));
        reader->read_header(io::ignore_extra_column, header[0], header[1], header[2], header[3],
                            header[4]);
        for (;;) {
            GoodsItem item;
            bool ok = true;
            if (!readRow(*reader, &item, &ok))
                break;
            if (!ok) {
                qDebug() << "goods file" << fileName << "row" << result.row << "price is no number";
                fail(result, int(reader->get_file_line()),
                     Cp1251Codec::decode(QByteArray::fromStdString(header[priceColumn])));
                return result;
            }
            result.goods.append(std::move(item));
            if (!goOn(pass, result.row + 1)) {
                result.status = GoodsCsvResult::Cancelled;
                return result;
            }
            ++result.row;
        }
    } catch (const std::exception &e) {
        failOn(result, e, reader.get());
    } catch (...) {
        qDebug() << "goods file row" << result.row << "unknown failure";
        fail(result, reader ? int(reader->get_file_line()) : 0, QString());
    }
    return result;
}

// Where the second of two readers starts: the first line from the middle of
// the file on; 0 when the file is too small for a second reader to pay off.
int secondHalf(const QByteArray &bytes)
{
    constexpr int kSplitFrom = 1 << 20;
    if (bytes.size() < kSplitFrom || std::thread::hardware_concurrency() < 2)
        return 0;
    const int end = bytes.indexOf('\n', bytes.size() / 2);
    return end < 0 || end + 1 >= bytes.size() ? 0 : end + 1;
}

// The two halves as one file: a failure of the first wins, as it comes
// first in the file, and a failure of the second is counted from the file's
// start (its first line is the repeated header).
GoodsCsvResult joined(GoodsCsvResult head, GoodsCsvResult tail, const QByteArray &text, int cut)
{
    if (head.status != GoodsCsvResult::Loaded)
        return head;
    if (tail.status != GoodsCsvResult::Loaded) {
        tail.row += head.goods.size();
        if (tail.line > 0)
            tail.line += lineFeeds(text.cbegin(), text.cbegin() + cut) - 1;
        return tail;
    }
    head.goods.reserve(head.goods.size() + tail.goods.size());
    for (GoodsItem &item : tail.goods)
        head.goods.append(std::move(item));
    head.row += tail.row - 1;
    return head;
}

// A file of hundreds of thousands of rows takes two readers at once, each
// filtering and reading its half on its own core; the first reports the
// progress and stops the second when its own half fails or is cancelled.
GoodsCsvResult readCurrentRows(const QByteArray &text, const HeaderTexts &header,
                               GoodsCsvProgress *progress, const QString &fileName)
{
    const int lines = lineFeeds(text.cbegin(), text.cend());
    if (progress)
        progress->start(lines);
    const int cut = secondHalf(text);
    if (cut == 0)
        return readRows(text, header, 3, readCurrentRow, {true, {}, progress, nullptr, 1, lines}, fileName);

    std::atomic<bool> stop{false};
    std::future<GoodsCsvResult> rest;
    try {
        rest = std::async(std::launch::async, [&] {
            const QByteArray headerLine = QByteArray::fromRawData(text.constData(), text.indexOf('\n') + 1);
            const QByteArray tail = QByteArray::fromRawData(text.constData() + cut, text.size() - cut);
            return readRows(tail, header, 3, readCurrentRow, {true, headerLine, nullptr, &stop, 1, lines / 2 + 1},
                            fileName);
        });
    } catch (const std::system_error &) {
        return readRows(text, header, 3, readCurrentRow, {true, {}, progress, nullptr, 1, lines}, fileName);
    }
    GoodsCsvResult head = readRows(QByteArray::fromRawData(text.constData(), cut), header, 3, readCurrentRow,
                                   {true, {}, progress, nullptr, 2, lines}, fileName);
    if (head.status != GoodsCsvResult::Loaded)
        stop = true;
    return joined(std::move(head), rest.get(), text, cut);
}

} // namespace

QByteArray filterGoodsCsv(const QByteArray &bytes)
{
    QByteArray out = bytes;
    filterGoodsCsv(out.data(), out.size());
    return out;
}

void filterGoodsCsv(char *bytes, int size)
{
    const std::array<char, 256> &table = filterTable();
    for (char *p = bytes; p < bytes + size; ++p)
        *p = table[static_cast<unsigned char>(*p)];
}

QString GoodsCsvResult::place() const
{
    if (line <= 0)
        return QString();
    if (column.isEmpty())
        return QCoreApplication::translate("GoodsCsv", "строка %1").arg(line);
    return QCoreApplication::translate("GoodsCsv", "строка %1, столбец %2").arg(line).arg(column);
}

QByteArray goodsCsvAsWindows1251(const QByteArray &bytes)
{
    const bool marked = bytes.startsWith(kUtf8Mark);
    if (!marked && !isWideUtf8(bytes))
        return bytes;
    const QString text = QString::fromUtf8(bytes.mid(marked ? int(std::strlen(kUtf8Mark)) : 0));
    return Cp1251Codec::encode(text, ' ');
}

GoodsCsvResult readGoodsCsv(const QByteArray &bytes, GoodsCsvProgress *progress,
                            const QString &fileName)
{
    const QByteArray text = goodsCsvAsWindows1251(bytes);
    HeaderTexts header;
    if (!findHeader(text, &header)) {
        GoodsCsvResult result;
        result.status = GoodsCsvResult::BadHeader;
        return result;
    }
    return readCurrentRows(text, header, progress, fileName);
}

GoodsCsvResult readOldGoodsCsv(const QByteArray &bytes, const QString &fileName)
{
    const QByteArray text = goodsCsvAsWindows1251(bytes);
    const Pass pass{false, {}, nullptr, nullptr, 1, lineFeeds(text.cbegin(), text.cend())};
    return readRows(text, kOldColumns, 4, readOldRow, pass, fileName);
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
