#include "goodswindow/goodswindow.h"

#include "goods/goodscheck.h"
#include "goods/goodscodec.h"
#include "goods/goodscsv.h"
#include "goods/goodsfind.h"
#include "goods/goodsrecord.h"
#include "goods/goodssortfilterproxymodel.h"
#include "goods/goodstablemodel.h"
#include "goodswindow/goodsfindbar.h"
#include "goodswindow/goodsloadprogress.h"
#include "goodswindow/goodsvalidation.h"
#include "goodswindow/priceitemdelegate.h"
#include "link/registerdefaults.h"
#include "params/deviceprofile.h"
#include "session/profilefile.h"
#include "widgets/backuppicker.h"
#include "widgets/comboboxitemdelegate.h"
#include "widgets/dialogs.h"
#include "widgets/exchangeprogress.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuelistmodel.h"
#include "widgets/textitemdelegate.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QRunnable>
#include <QTableView>
#include <QThreadPool>
#include <QTime>

#include <algorithm>
#include <memory>

namespace {

constexpr int kNameLength = 84;
constexpr int kIntcodeDigits = 5;
constexpr int kBarcodeDigits = 13;
constexpr int kStatusMs = 10000;
// Rows named in a refusal; the check lists them all.
constexpr int kListedRows = 10;

QString now(const char *format)
{
    return QTime::currentTime().toString(QLatin1String(format));
}

// Rows looked at for the widths of the code and barcode columns: the first
// and the last thousand, as a view measures its contents. Each text lies
// elsewhere in memory, and going through every one of a long table costs
// more than showing it; longer texts further in are faulty (the check says
// so) and are shown shortened.
constexpr int kMeasuredRows = 1000;

template<typename Visit>
void forMeasuredRows(const GoodsList &goods, Visit visit)
{
    const int head = std::min(int(goods.size()), kMeasuredRows);
    for (int row = 0; row < head; ++row)
        visit(goods.at(row));
    for (int row = std::max(head, int(goods.size()) - kMeasuredRows); row < goods.size(); ++row)
        visit(goods.at(row));
}

// The longest text by characters: the widest for digits, which is what the
// code and barcode columns hold.
QString longest(const GoodsList &goods, QString GoodsItem::*field, int atLeast)
{
    QString widest(atLeast, QLatin1Char('0'));
    forMeasuredRows(goods, [&](const GoodsItem &item) {
        if ((item.*field).size() > widest.size())
            widest = item.*field;
    });
    return widest;
}

// Letting go of a long table frees every text of every row, which takes
// longer than showing the rows that replace it: that happens on a pool thread.
class RowRelease : public QRunnable
{
public:
    explicit RowRelease(GoodsList rows) : m_rows(std::move(rows)) {}
    void run() override { m_rows = GoodsList(); }

private:
    GoodsList m_rows;
};

void release(GoodsList rows)
{
    constexpr int kReleasedElsewhereFrom = 10000;
    if (rows.size() >= kReleasedElsewhereFrom)
        QThreadPool::globalInstance()->start(new RowRelease(std::move(rows)));
}

// Formatting every price would cost as much as reading them: the widest text
// is that of the largest or the smallest amount (prices lie in the rows
// themselves, so all of them are compared), or of one shown with more than
// two decimals, which only a price the register cannot take has.
QString widestPrice(const GoodsList &goods)
{
    if (goods.isEmpty())
        return QString();
    double lowest = goods.first().price;
    double highest = lowest;
    for (const GoodsItem &item : goods) {
        lowest = std::min(lowest, item.price);
        highest = std::max(highest, item.price);
    }
    QStringList texts{PriceItemDelegate::priceText(lowest), PriceItemDelegate::priceText(highest)};
    forMeasuredRows(goods, [&](const GoodsItem &item) {
        if (!GoodsRecord::canStorePrice(item.price))
            texts << PriceItemDelegate::priceText(item.price);
    });
    return *std::max_element(texts.cbegin(), texts.cend(),
                             [](const QString &a, const QString &b) { return a.size() < b.size(); });
}

} // namespace

GoodsWindow::GoodsWindow(QWidget *parent)
    : QMainWindow(parent)
{
    // The window probes the address itself, to name it in its own warning.
    m_session.setProbeFirst(false);
    setWindowTitle(tr("Номенклатура"));
    resize(640, 480);

    m_model = new GoodsTableModel(this);
    m_proxy = new GoodsSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    buildView();
    buildMenus();
    buildStatusBar();
    connect(m_proxy, &GoodsSortFilterProxyModel::sorting, this, &GoodsWindow::onSorting);
}

void GoodsWindow::buildView()
{
    auto *central = new QWidget(this);
    auto *layout = new QGridLayout(central);
    m_view = new QTableView(central);
    m_view->setObjectName(QStringLiteral("goodsView"));
    layout->addWidget(m_view, 0, 0);
    m_findBar = new GoodsFindBar(central);
    layout->addWidget(m_findBar, 1, 0);
    setCentralWidget(central);

    m_view->setModel(m_proxy);
    // No sort until a header is clicked: the rows stand in the register's order.
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_view->horizontalHeader()->setSectionResizeMode(GoodsTableModel::NameColumn, QHeaderView::Stretch);
    // A narrow window shortens a title visibly rather than cutting both ends off.
    m_view->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    // Typing over a cell must not replace what it holds.
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_view->installEventFilter(this);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &GoodsWindow::onTableMenu);
    m_view->setItemDelegateForColumn(GoodsTableModel::NameColumn,
                                     new TextItemDelegate(kNameLength, false, this));
    m_view->setItemDelegateForColumn(GoodsTableModel::PriceColumn, new PriceItemDelegate(this));
    connect(m_findBar, &GoodsFindBar::findNext, this, &GoodsWindow::onFindNext);
    connect(m_findBar, &GoodsFindBar::closed, m_view, [this] { m_view->setFocus(Qt::OtherFocusReason); });
}

void GoodsWindow::buildMenus()
{
    auto addMenuAction = [this](QMenu *menu, const QString &text, const char *name,
                                void (GoodsWindow::*slot)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    QMenu *device = menuBar()->addMenu(tr("ККТ"));
    addMenuAction(device, tr("Загрузить из ККТ"), "actionImport", &GoodsWindow::onDeviceImport);
    addMenuAction(device, tr("Выгрузить в ККТ"), "actionExport", &GoodsWindow::onDeviceExport);
    addMenuAction(device, tr("Восстановить из резервной копии…"), "actionRestore", &GoodsWindow::onDeviceRestore);
    QMenu *profile = menuBar()->addMenu(tr("Профиль"));
    addMenuAction(profile, tr("Сохранить профиль"), "actionProfileExport", &GoodsWindow::onProfileExport);
    QMenu *file = menuBar()->addMenu(tr("Файл"));
    addMenuAction(file, tr("Загрузить из файла"), "actionFileLoad", &GoodsWindow::onFileLoad);
    addMenuAction(file, tr("Сохранить в файл"), "actionFileSave", &GoodsWindow::onFileSave);
    QMenu *data = menuBar()->addMenu(tr("Данные"));
    addMenuAction(data, tr("Проверить"), "actionValidate", &GoodsWindow::onValidate);

    // Find works from anywhere in the window, without a menu entry of its own.
    auto addShortcut = [this](const QKeySequence &keys, const char *name, void (GoodsWindow::*slot)()) {
        auto *action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    addShortcut(QKeySequence::Find, "actionFind", &GoodsWindow::onFind);
    addShortcut(QKeySequence(Qt::Key_F3), "actionFindNext", &GoodsWindow::onFindNext);
    addShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), "actionFindPrevious", &GoodsWindow::onFindPrevious);
}

void GoodsWindow::buildStatusBar()
{
    m_sourceLabel = new QLabel(this);
    m_sourceLabel->setObjectName(QStringLiteral("goodsSource"));
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("goodsCount"));
    for (QLabel *label : {m_sourceLabel, m_countLabel}) {
        label->setContentsMargins(6, 0, 6, 0);
        statusBar()->addPermanentWidget(label);
    }
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &GoodsWindow::updateCount);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &GoodsWindow::updateCount);
    connect(m_model, &QAbstractItemModel::modelReset, this, &GoodsWindow::updateCount);
    updateCount();
}

void GoodsWindow::updateCount()
{
    // The register keeps one record fewer than its capacity for goods.
    m_countLabel->setText(tr("Товаров: %1 из %2").arg(m_model->rowCount()).arg(m_capacity - 1));
}

void GoodsWindow::setDevice(const QString &serial, int capacity, const QString &address,
                            quint16 port, const QStringList &departmentNames)
{
    m_serial = serial;
    m_address = address;
    m_port = port;
    // A hand-edited profile may hold a negative capacity: like a missing one, it means the default.
    m_capacity = capacity > 0 ? capacity : RegisterDefaults::GoodsCapacity;
    m_session.setExpectedSerial(serial);

    m_model->setDepartmentNames(departmentNames);
    QAbstractItemDelegate *old = m_view->itemDelegateForColumn(GoodsTableModel::DeptColumn);
    m_view->setItemDelegateForColumn(GoodsTableModel::DeptColumn,
                                     new ComboBoxItemDelegate(departmentNames, 1, this));
    delete old;

    QByteArray image;
    DeviceProfile().loadGoods(serial, image);
    replaceGoods(decodeGoods(image), image.isEmpty() ? QString() : tr("профиль"));
}

void GoodsWindow::runExchange(const QString &progressText, bool import, const QByteArray &image, int rows)
{
    ExchangeProgress::Options options;
    options.progressText = progressText;
    // Only a read may be stopped: a write cut short would leave the register's
    // goods area half written.
    options.cancelStops = import;
    options.showPages = true;
    m_session.setAddress(m_address, m_port);
    ExchangeProgress::run(this, m_session, options, this,
                          [this, import] { import ? onDeviceImportFinished() : onDeviceExportFinished(); },
                          [this, import, image, rows] {
                              if (import)
                                  m_session.readGoods();
                              else
                                  m_session.writeGoods(image, rows);
                          });
}

void GoodsWindow::onDeviceImport()
{
    if (m_session.isBusy() || !mayDiscardEdits()
        || !ExchangeProgress::isReachable(this, tr("Загрузка из ККТ"), m_address))
        return;
    runExchange(tr("Загрузка из ККТ..."), true, QByteArray(), 0);
}

void GoodsWindow::onDeviceImportFinished()
{
    const int result = m_session.result();
    if (result != 0) {
        Dialogs::warning(this, tr("Загрузка из ККТ"), tr("Ошибка загрузки. %1").arg(result),
                         m_session.informativeText());
        return;
    }
    replaceGoods(decodeGoods(m_session.goods()), tr("ККТ, %1").arg(now("HH:mm")));
    showStatus(tr("Прочитано из ККТ в %1").arg(now("HH:mm:ss")));
}

void GoodsWindow::onDeviceExport()
{
    const QString title = tr("Выгрузка в ККТ");
    if (m_session.isBusy() || refuseUnstorablePrices(title))
        return;
    // An empty table, opened from a profile without goods, would wipe the
    // register's goods on one click.
    if (m_model->rowCount() == 0
        && !Dialogs::question(this, title, tr("Таблица товаров пуста. Удалить все товары из ККТ?")))
        return;
    const QByteArray image = encodeGoods(m_model->goods(), true);
    if (!ExchangeProgress::isReachable(this, title, m_address))
        return;
    runExchange(tr("Выгрузка в ККТ..."), false, image, m_model->rowCount());
}

void GoodsWindow::onDeviceExportFinished()
{
    const int result = m_session.result();
    if (result != 0) {
        Dialogs::warning(this, tr("Выгрузка в ККТ"), tr("Ошибка выгрузки. %1").arg(result),
                         m_session.informativeText());
        if (m_session.partlyWritten())
            offerRestore(tr("Выгрузка в ККТ"), m_session.backupFile());
    } else {
        m_model->setModified(false);
        showStatus(tr("Записано в ККТ в %1").arg(now("HH:mm:ss")));
        Dialogs::information(this, tr("Выгрузка в ККТ"), tr("Выгрузка завершена успешно"));
    }
}

void GoodsWindow::offerRestore(const QString &title, const QString &file)
{
    if (Dialogs::question(this, title, tr("Восстановить данные ККТ из резервной копии?")))
        restoreBackup(file);
}

void GoodsWindow::onDeviceRestore()
{
    const QString title = tr("Восстановление из резервной копии");
    if (m_session.isBusy() || !mayDiscardEdits())
        return;
    const QString file = BackupPicker::choose(this, title, m_serial, ProfileFile::goodsKind());
    if (!file.isEmpty())
        restoreBackup(file);
}

void GoodsWindow::restoreBackup(const QString &file)
{
    m_session.setAddress(m_address, m_port);
    BackupPicker::restore(this, m_session, file,
                          [this, file](const ProfileFile &backup) { onRestoreFinished(file, backup); });
}

void GoodsWindow::onRestoreFinished(const QString &file, const ProfileFile &backup)
{
    const QString title = tr("Восстановление из резервной копии");
    const int result = m_session.result();
    if (result != 0) {
        Dialogs::warning(this, title, tr("Ошибка выгрузки. %1").arg(result), m_session.informativeText());
        // Once it has begun, the same backup is what to write again.
        if (m_session.partlyWritten())
            offerRestore(title, file);
        return;
    }
    // The register now holds the backup's goods, and so does the table.
    replaceGoods(decodeGoods(backup.goods), tr("ККТ, %1").arg(now("HH:mm")));
    showStatus(tr("Восстановлено из резервной копии в %1").arg(now("HH:mm:ss")));
    Dialogs::information(this, title, tr("Резервная копия записана в ККТ"));
}

void GoodsWindow::onTableMenu(const QPoint &pos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("goodsMenu"));
    QAction *append = menu.addAction(tr("Добавить товар"), this, &GoodsWindow::onAppendGoods);
    append->setShortcut(QKeySequence(Qt::Key_Insert));
    if (m_model->rowCount() > 0) {
        QAction *remove = menu.addAction(tr("Убрать товар"), this, &GoodsWindow::onRemoveGoods);
        remove->setShortcut(QKeySequence(Qt::Key_Delete));
    }
    menu.exec(m_view->viewport()->mapToGlobal(pos));
}

void GoodsWindow::onAppendGoods()
{
    const int row = m_model->rowCount();
    if (!m_model->insertRows(row, 1))
        return;
    // The new row is where the user types next, wherever a sort put it.
    const QModelIndex name = m_proxy->mapFromSource(m_model->index(row, GoodsTableModel::NameColumn));
    m_view->setCurrentIndex(name);
    m_view->scrollTo(name);
}

void GoodsWindow::onRemoveGoods()
{
    QItemSelectionModel *selection = m_view->selectionModel();
    if (!selection || !selection->hasSelection())
        return;
    QList<int> rows;
    for (const QModelIndex &index : selection->selectedIndexes()) {
        if (!rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QList<QPersistentModelIndex> targets;
    for (int i = rows.size() - 1; i >= 0; --i)
        targets.append(QPersistentModelIndex(m_proxy->mapToSource(m_proxy->index(rows.at(i), 0))));
    for (const QPersistentModelIndex &target : qAsConst(targets)) {
        if (target.isValid())
            m_model->removeRows(target.row(), 1);
    }
}

void GoodsWindow::onProfileExport()
{
    if (refuseUnstorablePrices(tr("Сохранить профиль")))
        return;
    DeviceProfile().saveGoods(m_serial, encodeGoods(m_model->goods(), false));
    m_model->setModified(false);
    showStatus(tr("Профиль сохранён в %1").arg(now("HH:mm:ss")));
}

bool GoodsWindow::readChosenFile(QString *fileName, QByteArray *bytes)
{
    *fileName = Dialogs::getOpenFileName(this, tr("Имя файла для загрузки"), QString(),
                                         tr("CSV файлы (*.csv);;Все файлы (*.*)"));
    if (fileName->isEmpty())
        return false;
    QFile file(*fileName);
    if (file.open(QIODevice::ReadOnly)) {
        *bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return true;
    }
    Dialogs::critical(this, windowTitle(),
                      tr("Не удалось прочитать файл %1.").arg(QDir::toNativeSeparators(*fileName)));
    return false;
}

void GoodsWindow::replaceGoods(const GoodsList &goods, const QString &source)
{
    // Listed problems name rows of the table that is being replaced.
    if (m_issues)
        m_issues->model()->clear();
    // New rows stand in the order they came in; sorting them as they arrive
    // would also cost more than reading them.
    if (m_proxy->sortColumn() >= 0)
        m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    GoodsList old = m_model->goods();
    m_model->setGoods(goods);
    release(std::move(old));
    m_sourceLabel->setText(source);
    fitColumns();
}

void GoodsWindow::fitColumns()
{
    const GoodsList goods = m_model->goods();
    const QFontMetrics metrics(m_view->font());
    const int padding = 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1)
            + 2 * metrics.averageCharWidth();
    // The header's own hint keeps room for a sort arrow on every column;
    // its title alone is enough, the name column needs the rest.
    QFont bold = m_view->horizontalHeader()->font();
    bold.setBold(true);
    const QFontMetrics headerMetrics(bold);
    const int headerPadding = 4 * m_view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, m_view);
    auto fit = [&](int column, const QString &widest) {
        const QString title = m_model->headerData(column, Qt::Horizontal).toString();
        m_view->setColumnWidth(column, std::max(headerMetrics.horizontalAdvance(title) + headerPadding,
                                                metrics.horizontalAdvance(widest) + padding));
    };
    // Codes and barcodes of the longest kind show whole before one is typed in.
    fit(GoodsTableModel::IntcodeColumn, longest(goods, &GoodsItem::intcode, kIntcodeDigits));
    fit(GoodsTableModel::BarcodeColumn, longest(goods, &GoodsItem::barcode, kBarcodeDigits));
    fit(GoodsTableModel::PriceColumn, widestPrice(goods));
    QString department;
    for (const QString &name : m_model->departmentNames()) {
        if (metrics.horizontalAdvance(name) > metrics.horizontalAdvance(department))
            department = name;
    }
    fit(GoodsTableModel::DeptColumn, department);
}

void GoodsWindow::onFileLoad()
{
    if (!mayDiscardEdits())
        return;
    QString fileName;
    QByteArray bytes;
    if (!readChosenFile(&fileName, &bytes))
        return;
    GoodsLoadProgress progress(this);
    const GoodsCsvResult result = readGoodsCsv(bytes, &progress, fileName);
    if (result.succeeded()) {
        replaceGoods(result.goods, tr("файл %1").arg(QFileInfo(fileName).fileName()));
        return;
    }
    progress.cancel();
    if (result.status == GoodsCsvResult::BadHeader)
        Dialogs::critical(this, windowTitle(), tr("Ошибка при загрузке. Проверьте формат файла."));
    else
        Dialogs::critical(this, windowTitle(),
                          tr("Ошибка при загрузке в строке %1. Проверьте формат файла.").arg(result.row),
                          result.place());
}

void GoodsWindow::onOldFileLoad()
{
    if (!mayDiscardEdits())
        return;
    QString fileName;
    QByteArray bytes;
    if (!readChosenFile(&fileName, &bytes))
        return;
    const GoodsCsvResult result = readOldGoodsCsv(bytes, fileName);
    if (result.succeeded())
        replaceGoods(result.goods, tr("файл %1").arg(QFileInfo(fileName).fileName()));
    else
        Dialogs::critical(this, windowTitle(), tr("Ошибка при загрузке. Проверьте формат файла."),
                          result.place());
}

void GoodsWindow::onFileSave()
{
    const QString fileName = Dialogs::getSaveFileName(this, tr("Имя файла для выгрузки"), QString(),
                                                      tr("CSV файлы (*.csv)"));
    if (fileName.isEmpty())
        return;
    const QByteArray bytes = writeGoodsCsv(m_model->goods());
    QFile file(fileName);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        Dialogs::critical(this, windowTitle(),
                          tr("Не удалось записать файл %1.").arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    m_model->setModified(false);
    showStatus(tr("Файл сохранён: %1").arg(QFileInfo(fileName).fileName()));
}

void GoodsWindow::onValidate()
{
    if (!m_issues) {
        m_issues = new GoodsIssueWidget(m_view, this);
        m_issues->setObjectName(QStringLiteral("goodsIssues"));
        addDockWidget(Qt::BottomDockWidgetArea, m_issues);
        // The table stays the larger part of the window.
        resizeDocks({m_issues}, {std::min(m_issues->sizeHint().height(), height() / 3)}, Qt::Vertical);
    } else {
        m_issues->show();
    }
    m_issues->model()->clear();
    validateGoods(m_proxy, m_model->departmentNames().size(), m_capacity, m_issues);
    const int found = m_issues->model()->rowCount();
    showStatus(found == 0 ? tr("Проверка: проблем не найдено") : tr("Проверка: проблем — %1").arg(found));
}

void GoodsWindow::onSorting()
{
    if (m_issues)
        m_issues->model()->clear();
}

void GoodsWindow::onFind()
{
    m_findBar->open();
}

void GoodsWindow::onFindNext()
{
    findFrom(true);
}

void GoodsWindow::onFindPrevious()
{
    findFrom(false);
}

void GoodsWindow::findFrom(bool forward)
{
    const QString text = m_findBar->text();
    if (text.isEmpty()) {
        m_findBar->open();
        return;
    }
    int from = m_view->currentIndex().isValid() ? m_view->currentIndex().row() : -1;
    // A new text is looked for from the current row on, that row included;
    // the same text again means the match after the one shown.
    if (text != m_findText && from >= 0)
        from += forward ? -1 : 1;
    m_findText = text;
    const int row = findGoodsRow(*m_proxy, text, from, forward);
    if (row < 0) {
        showStatus(tr("Не найдено: %1").arg(text));
        return;
    }
    if (from >= 0 && (forward ? row <= from : row >= from))
        showStatus(forward ? tr("Поиск продолжен с начала таблицы") : tr("Поиск продолжен с конца таблицы"));
    else
        statusBar()->clearMessage();
    const QModelIndex found = m_proxy->index(row, GoodsTableModel::NameColumn);
    m_view->selectionModel()->setCurrentIndex(
            found, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(found);
}

bool GoodsWindow::mayDiscardEdits()
{
    return !m_model->isModified()
            || Dialogs::question(this, windowTitle(), tr("Изменения не сохранены. Продолжить без сохранения?"));
}

bool GoodsWindow::refuseUnstorablePrices(const QString &title)
{
    QStringList rows;
    int count = 0;
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        const double price = m_proxy->index(row, GoodsTableModel::PriceColumn).data(Qt::EditRole).toDouble();
        if (GoodsRecord::canStorePrice(price))
            continue;
        if (++count <= kListedRows)
            rows << QString::number(row + 1);
    }
    if (count == 0)
        return false;
    if (count > kListedRows)
        rows << QStringLiteral("…");
    Dialogs::warning(this, title,
                     tr("Цены в строках %1 не могут быть записаны как заданы. Ничего не записано.")
                             .arg(rows.join(QStringLiteral(", "))),
                     tr("Цена — число от 0 с двумя знаками после точки, не больше. "
                        "Строки с такими ценами показаны в списке «Проблемы»."));
    onValidate();
    return true;
}

void GoodsWindow::showStatus(const QString &message)
{
    statusBar()->showMessage(message, kStatusMs);
}

void GoodsWindow::closeEvent(QCloseEvent *event)
{
    if (mayDiscardEdits())
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

bool GoodsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A key an open cell editor leaves unused comes on to the table: only
    // keys pressed on the table itself act on it.
    if (watched != m_view || event->type() != QEvent::KeyPress || !m_view->hasFocus())
        return QMainWindow::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return QMainWindow::eventFilter(watched, event);
    switch (key->key()) {
    case Qt::Key_Insert:
        onAppendGoods();
        return true;
    case Qt::Key_Delete:
        onRemoveGoods();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_view->currentIndex().isValid())
            return false;
        m_view->edit(m_view->currentIndex());
        return true;
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}
