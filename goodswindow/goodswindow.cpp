#include "goodswindow/goodswindow.h"

#include "goods/goodscodec.h"
#include "goods/goodscsv.h"
#include "goods/goodssortfilterproxymodel.h"
#include "goods/goodstablemodel.h"
#include "goodswindow/goodsloadprogress.h"
#include "goodswindow/goodsvalidation.h"
#include "link/registerdefaults.h"
#include "params/deviceprofile.h"
#include "widgets/comboboxitemdelegate.h"
#include "widgets/dialogs.h"
#include "widgets/exchangeprogress.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuelistmodel.h"
#include "widgets/textitemdelegate.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

#include <algorithm>
#include <memory>

namespace {

constexpr int kNameLength = 84;

} // namespace

GoodsWindow::GoodsWindow(QWidget *parent)
    : QMainWindow(parent)
{
    // The window probes the address itself, to name it in its own warning.
    m_session.setProbeFirst(false);
    setWindowTitle(tr("Номенклатура"));
    resize(640, 480);

    auto *central = new QWidget(this);
    auto *layout = new QGridLayout(central);
    m_view = new QTableView(central);
    m_view->setObjectName(QStringLiteral("goodsView"));
    layout->addWidget(m_view, 0, 0);
    setCentralWidget(central);

    auto addAction = [this](QMenu *menu, const QString &text, const char *name,
                            void (GoodsWindow::*slot)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    QMenu *device = menuBar()->addMenu(tr("ККТ"));
    addAction(device, tr("Загрузить из ККТ"), "actionImport", &GoodsWindow::onDeviceImport);
    addAction(device, tr("Выгрузить в ККТ"), "actionExport", &GoodsWindow::onDeviceExport);
    QMenu *profile = menuBar()->addMenu(tr("Профиль"));
    addAction(profile, tr("Сохранить профиль"), "actionProfileExport", &GoodsWindow::onProfileExport);
    QMenu *file = menuBar()->addMenu(tr("Файл"));
    addAction(file, tr("Загрузить из файла"), "actionFileLoad", &GoodsWindow::onFileLoad);
    addAction(file, tr("Сохранить в файл"), "actionFileSave", &GoodsWindow::onFileSave);
    QMenu *data = menuBar()->addMenu(tr("Данные"));
    addAction(data, tr("Проверить"), "actionValidate", &GoodsWindow::onValidate);

    m_model = new GoodsTableModel(this);
    m_proxy = new GoodsSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_view->setModel(m_proxy);
    m_view->setSortingEnabled(true);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &GoodsWindow::onTableMenu);
    m_view->setItemDelegateForColumn(GoodsTableModel::NameColumn,
                                     new TextItemDelegate(kNameLength, false, this));
    connect(m_proxy, &GoodsSortFilterProxyModel::sorting, this, &GoodsWindow::onSorting);
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
    m_model->setGoods(decodeGoods(image));
}

bool GoodsWindow::isReachable(const QString &title)
{
    if (RegisterSession::isReachable(m_address))
        return true;
    Dialogs::warning(this, title, tr("ККТ по адресу %1 не доступен").arg(m_address));
    return false;
}

void GoodsWindow::runExchange(const QString &progressText, bool import, const QByteArray &image, int rows)
{
    ExchangeProgress::Options options;
    options.label = tr("Подключение к ККТ...");
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
    if (m_session.isBusy() || !isReachable(tr("Загрузка из ККТ")))
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
    replaceGoods(decodeGoods(m_session.goods()));
}

void GoodsWindow::onDeviceExport()
{
    const QByteArray image = encodeGoods(m_model->goods(), true);
    if (m_session.isBusy() || !isReachable(tr("Выгрузка в ККТ")))
        return;
    runExchange(tr("Выгрузка в ККТ..."), false, image, m_model->rowCount());
}

void GoodsWindow::onDeviceExportFinished()
{
    const int result = m_session.result();
    if (result != 0)
        Dialogs::warning(this, tr("Выгрузка в ККТ"), tr("Ошибка выгрузки. %1").arg(result),
                         m_session.informativeText());
    else
        Dialogs::information(this, tr("Выгрузка в ККТ"), tr("Выгрузка завершена успешно"));
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
    m_model->insertRows(m_model->rowCount(), 1);
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
    DeviceProfile().saveGoods(m_serial, encodeGoods(m_model->goods(), false));
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

void GoodsWindow::replaceGoods(const GoodsList &goods)
{
    // Listed problems name rows of the table that is being replaced.
    if (m_issues)
        m_issues->model()->clear();
    m_model->setGoods(goods);
}

void GoodsWindow::onFileLoad()
{
    QString fileName;
    QByteArray bytes;
    if (!readChosenFile(&fileName, &bytes))
        return;
    GoodsLoadProgress progress(this);
    const GoodsCsvResult result = readGoodsCsv(bytes, &progress, fileName);
    if (result.succeeded()) {
        replaceGoods(result.goods);
        return;
    }
    progress.cancel();
    if (result.status == GoodsCsvResult::BadHeader)
        Dialogs::critical(this, windowTitle(), tr("Ошибка при загрузке. Проверьте формат файла."));
    else
        Dialogs::critical(this, windowTitle(),
                          tr("Ошибка при загрузке в строке %1. Проверьте формат файла.").arg(result.row));
}

void GoodsWindow::onOldFileLoad()
{
    QString fileName;
    QByteArray bytes;
    if (!readChosenFile(&fileName, &bytes))
        return;
    const GoodsCsvResult result = readOldGoodsCsv(bytes, fileName);
    if (result.succeeded())
        replaceGoods(result.goods);
    else
        Dialogs::critical(this, windowTitle(), tr("Ошибка при загрузке. Проверьте формат файла."));
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
    if (!written || file.error() != QFileDevice::NoError)
        Dialogs::critical(this, windowTitle(),
                          tr("Не удалось записать файл %1.").arg(QDir::toNativeSeparators(fileName)));
}

void GoodsWindow::onValidate()
{
    if (!m_issues) {
        m_issues = new GoodsIssueWidget(m_view, this);
        m_issues->setObjectName(QStringLiteral("goodsIssues"));
        addDockWidget(Qt::BottomDockWidgetArea, m_issues);
    } else {
        m_issues->show();
    }
    m_issues->model()->clear();
    validateGoods(m_proxy, m_model->departmentNames().size(), m_capacity, m_issues);
}

void GoodsWindow::onSorting()
{
    if (m_issues)
        m_issues->model()->clear();
}
