// Times the goods work that grows with the table: encoding and decoding a full
// goods area, and loading and checking 2000 rows in the goods window.

#include "goods/goodscodec.h"
#include "goods/goodssortfilterproxymodel.h"
#include "goods/goodstablemodel.h"
#include "goodswindow/goodsvalidation.h"
#include "goodswindow/goodswindow.h"
#include "params/appsettings.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

GoodsList sampleGoods(int count)
{
    GoodsList goods;
    goods.reserve(count);
    for (int i = 0; i < count; ++i) {
        GoodsItem item;
        item.name = QStringLiteral("Товар номер %1").arg(i + 1);
        item.intcode = QString::number(i + 1);
        item.barcode = QStringLiteral("4600000%1").arg(100000 + i).left(12);
        item.price = 10.0 + i * 0.01;
        item.dept = 1 + i % 16;
        goods.append(item);
    }
    return goods;
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

}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // The window reads a profile; keep it away from the user's settings.
    QTemporaryDir settingsDir;
    AppSettings::useFolder(settingsDir.path());
    const int count = 2000;
    const GoodsList goods = sampleGoods(count);

    QByteArray image;
    const double encodeMs = bestOf(10, [&] { image = encodeGoods(goods, true); });
    GoodsList decoded;
    const double decodeMs = bestOf(10, [&] { decoded = decodeGoods(image.mid(128)); });

    GoodsWindow window;
    window.setDevice(QStringLiteral("bench"), count + 1, QStringLiteral("127.0.0.1"), 8080, {});
    const double loadMs = bestOf(5, [&] { window.model()->setGoods(goods); });
    GoodsIssueWidget dock(window.view());
    const double validateMs = bestOf(5, [&] {
        dock.model()->clear();
        validateGoods(window.proxy(), 16, count + 1, &dock);
    });

    std::printf("goods: %d records, image %d bytes, decoded %d\n", count, int(image.size()),
                int(decoded.size()));
    std::printf("encode   %8.3f ms  (%.2f us per record)\n", encodeMs, encodeMs * 1000 / count);
    std::printf("decode   %8.3f ms  (%.2f us per record)\n", decodeMs, decodeMs * 1000 / count);
    std::printf("load     %8.3f ms  into the goods window's model\n", loadMs);
    std::printf("validate %8.3f ms  (%.2f x the load)\n", validateMs, validateMs / loadMs);
    return decoded.size() == count ? 0 : 1;
}
