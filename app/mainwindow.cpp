#include "app/mainwindow.h"

#include "app/deviceproxymodel.h"
#include "app/devicetablemodel.h"
#include "app/registerdevicedialog.h"
#include "editor/devicewindow.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "widgets/dialogs.h"

#include <QAction>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QMenuBar>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    buildUi();
    QMetaObject::connectSlotsByName(this);
    m_model->loadFromRegistry();
    widenForColumns();
}

// 400 × 300 at least, and wide enough that no column of the list opens cut
// or behind the horizontal scroll bar.
void MainWindow::widenForColumns()
{
    int width = qMax(400, listWidth());
    if (const QScreen *screen = this->screen())
        width = qMin(width, screen->availableSize().width());
    resize(qMax(width, this->width()), height());
}

// What the list needs to show every column whole, with a vertical scroll bar.
int MainWindow::listWidth() const
{
    const QHeaderView *header = m_table->horizontalHeader();
    const QAbstractItemView *cells = m_table;
    int width = m_table->verticalHeader()->sizeHint().width() + 2 * m_table->frameWidth()
            + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int last = 0;
    for (int column = 0; column < m_sortModel->columnCount(); ++column) {
        last = qMax(cells->sizeHintForColumn(column), header->sectionSizeHint(column));
        width += last;
    }
    // The stretched last column never gets narrower than a column's default.
    width += qMax(0, header->defaultSectionSize() - last);
    const QMargins margins = centralWidget()->layout()->contentsMargins();
    return width + margins.left() + margins.right();
}

void MainWindow::buildUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWindow"));
    resize(400, 300);
    setWindowTitle(tr("Korvane Utility 3"));

    auto *actionNewDevice = new QAction(tr("Добавление ККТ"), this);
    actionNewDevice->setObjectName(QStringLiteral("actionNewDevice"));
    auto *actionDropDevice = new QAction(tr("Удаление ККТ"), this);
    actionDropDevice->setObjectName(QStringLiteral("actionDropDevice"));
    actionDropDevice->setShortcut(QKeySequence::Delete);

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto *grid = new QGridLayout(central);
    grid->setObjectName(QStringLiteral("gridLayout"));
    grid->setSpacing(6);
    grid->setContentsMargins(11, 11, 11, 11);

    m_table = new QTableView(central);
    m_table->setObjectName(QStringLiteral("deviceTable"));
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSortingEnabled(true);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    grid->addWidget(m_table, 0, 0);
    setCentralWidget(central);

    auto *menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("menuBar"));
    menu->setGeometry(0, 0, 400, 21);
    setMenuBar(menu);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("mainToolBar"));
    addToolBar(Qt::TopToolBarArea, toolBar);
    toolBar->addAction(actionNewDevice);
    toolBar->addAction(actionDropDevice);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    setStatusBar(status);

    m_model = new DeviceTableModel(this);
    auto *fontModel = new DeviceProxyModel(this);
    fontModel->setSourceModel(m_model);
    m_sortModel = new QSortFilterProxyModel(this);
    m_sortModel->setSourceModel(fontModel);
    m_table->setModel(m_sortModel);
    addOpenKeys();
}

// Enter opens the selected register as a double click does. Only while the
// list has the focus: elsewhere Enter belongs to the focused control.
void MainWindow::addOpenKeys()
{
    auto *open = new QAction(m_table);
    open->setObjectName(QStringLiteral("actionOpenDevice"));
    open->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    open->setShortcutContext(Qt::WidgetShortcut);
    m_table->addAction(open);
    connect(open, &QAction::triggered, this, [this] {
        const QModelIndex row = selectedRow();
        if (row.isValid())
            on_deviceTable_doubleClicked(row);
    });
}

// Invalid unless exactly one row is selected.
QModelIndex MainWindow::selectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows(0);
    return rows.size() == 1 ? rows.first() : QModelIndex();
}

QString MainWindow::serialAt(const QModelIndex &proxyIndex) const
{
    // The font proxy keeps rows, so the sort proxy's source row is the table model's row.
    return m_model->record(m_sortModel->mapToSource(proxyIndex).row()).serial;
}

void MainWindow::on_actionNewDevice_triggered()
{
    RegisterDeviceDialog dialog;
    if (dialog.exec() == QDialog::Accepted)
        m_model->loadFromRegistry();
}

void MainWindow::on_deviceTable_doubleClicked(QModelIndex index)
{
    // The font proxy keeps rows, so the sort proxy's source row is the table model's row.
    const DeviceRecord record = m_model->record(m_sortModel->mapToSource(index).row());
    auto *window = new DeviceWindow(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    window->setDevice(record.serial, record.version, record.name, record.addr);
    connect(window, &DeviceWindow::updateRegistry, m_model, &DeviceTableModel::loadFromRegistry);
    window->show();
}

void MainWindow::on_actionDropDevice_triggered()
{
    const QModelIndex row = selectedRow();
    if (!row.isValid())
        return;
    const QString serial = serialAt(row);
    if (serial.isEmpty())
        return;
    if (!Dialogs::question(this, tr("Удаление ККТ"),
                           tr("Удалить запись о ККТ %1 вместе с данными?").arg(serial)))
        return;
    {
        DeviceRegistry registry;
        registry.remove(serial);
        registry.save();
    }
    DeviceProfile().remove(serial);
    m_model->loadFromRegistry();
}
