// Loads a 100 000-row goods file through the goods window's own load action and
// parses the same bytes with the bare CSV reader, and prints how much the
// window's work (header check, filter, progress, texts, model, column widths)
// adds. The window should take at most 1.5 times the bare reader.

#include "goods/goodscsv.h"
#include "goods/goodstablemodel.h"
#include "goods/qcsvsource.h"
#include "goodswindow/goodswindow.h"
#include "params/appsettings.h"
#include "widgets/dialogs.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 100000;

// Chooses the bench file in every open dialog.
class FileAnswer : public DialogHandler
{
public:
    explicit FileAnswer(const QString &fileName) : m_fileName(fileName) {}
    DialogAnswer answer(const DialogRequest &request) override
    {
        if (request.kind != DialogRequest::OpenFile)
            std::fprintf(stderr, "unexpected box: %s\n", qPrintable(request.text));
        return {request.kind == DialogRequest::OpenFile, m_fileName};
    }

private:
    QString m_fileName;
};

QByteArray sampleFile()
{
    QByteArray bytes("name;intcode;barcode;price;dept\n");
    for (int i = 1; i <= kRows; ++i) {
        // "Товар номер i" in Windows-1251, quoted as the window writes it.
        bytes += "\"\xD2\xEE\xE2\xE0\xF0 \xED\xEE\xEC\xE5\xF0 " + QByteArray::number(i) + "\";"
                + QByteArray::number(i % 99999 + 1) + ";46000001;" + QByteArray::number(10 + i % 9000)
                + '.' + QByteArray::number(10 + i % 90) + ';' + QByteArray::number(1 + i % 16) + '\n';
    }
    return bytes;
}

int bareParse(const QByteArray &bytes)
{
    io::CSVReader<5, io::trim_chars<' '>, io::double_quote_escape<';', '"'>, io::throw_on_overflow,
                  io::empty_line_comment>
            reader("bench", bytes.constData(), bytes.constData() + bytes.size());
    reader.read_header(io::ignore_extra_column, "name", "intcode", "barcode", "price", "dept");
    char *name = nullptr;
    char *intcode = nullptr;
    char *barcode = nullptr;
    double price = 0;
    int dept = 0;
    int rows = 0;
    while (reader.read_row(name, intcode, barcode, price, dept))
        ++rows;
    return rows;
}

template<typename F>
double bestOf(int runs, F work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    // The window reads a profile; keep it away from the user's settings.
    AppSettings::useFolder(dir.path());
    const QString path = dir.filePath(QStringLiteral("goods.csv"));
    const QByteArray bytes = sampleFile();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    file.close();

    FileAnswer answer(path);
    Dialogs::setHandler(&answer);
    GoodsWindow window;
    window.setDevice(QStringLiteral("bench"), kRows + 1, QStringLiteral("127.0.0.1"), 8080, {});
    window.show();
    auto *load = window.findChild<QAction *>(QStringLiteral("actionFileLoad"));

    int bareRows = 0;
    const double bareMs = bestOf(5, [&] { bareRows = bareParse(bytes); });
    const double windowMs = bestOf(5, [&] { load->trigger(); });
    Dialogs::setHandler(nullptr);
    // Where the window's time goes: the reading alone, and the table taking the rows.
    GoodsCsvResult read;
    const double readMs = bestOf(5, [&] { read = readGoodsCsv(bytes); });
    const double tableMs = bestOf(5, [&] { window.model()->setGoods(read.goods); });

    std::printf("goods file: %d rows, %d bytes\n", kRows, int(bytes.size()));
    std::printf("bare CSV reader   %9.3f ms  (%d rows)\n", bareMs, bareRows);
    std::printf("window load       %9.3f ms  (%d rows)\n", windowMs, window.model()->rowCount());
    std::printf("  reading alone   %9.3f ms  (%.2f x bare)\n", readMs, readMs / bareMs);
    std::printf("  table reset     %9.3f ms  (%.2f x bare)\n", tableMs, tableMs / bareMs);
    std::printf("ratio window/bare %9.2f  (goal: at most 1.5)\n", windowMs / bareMs);
    return 0;
}
