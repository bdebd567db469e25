#include "app/browsedevicedialog.h"

#include "app/browsetablemodel.h"
#include "link/devicefinder.h"
#include "link/registerdefaults.h"
#include "widgets/deviceprogressdialog.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

BrowseDeviceDialog::BrowseDeviceDialog(QWidget *parent)
    : QDialog(parent)
    , m_model(new BrowseTableModel(this))
{
    auto *table = new QTableView(this);
    table->setObjectName(QStringLiteral("browseTable"));
    table->setModel(m_model);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(table, &QTableView::doubleClicked, this, &BrowseDeviceDialog::pickDevice);

    m_refresh = new QPushButton(tr("Обновить"), this);
    m_refresh->setObjectName(QStringLiteral("refreshButton"));
    connect(m_refresh, &QPushButton::clicked, this, &BrowseDeviceDialog::setupTable);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table, 1);
    layout->addWidget(m_refresh, 0);

    setMinimumWidth(sizeHint().width());
    setWindowTitle(tr("Обзор ККТ в локальной сети"));
}

void BrowseDeviceDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(50, this, &BrowseDeviceDialog::setupTable);
}

void BrowseDeviceDialog::setupTable()
{
    m_refresh->setEnabled(false);

    DeviceProgressDialog progress(this, DeviceProgressDialog::OwnerFlags);
    progress.setObjectName(QStringLiteral("searchProgress"));
    progress.setLabelText(tr("Поиск ККТ..."));
    progress.reset();

    auto *finder = new DeviceFinder;
    finder->setTimeout(RegisterDefaults::SearchWait);
    finder->setPort(RegisterDefaults::DiscoveryPort);
    auto *thread = new QThread;
    finder->moveToThread(thread);

    connect(thread, &QThread::started, finder, &DeviceFinder::run);
    connect(finder, &DeviceFinder::received, &progress, &QProgressDialog::setValue);
    // The finder's thread is blocked by the search, so the stop must run here.
    connect(&progress, &QProgressDialog::canceled, finder, &DeviceFinder::stop, Qt::DirectConnection);
    connect(finder, &DeviceFinder::finished, &progress, &DeviceProgressDialog::dismiss);
    connect(finder, &DeviceFinder::finished, this, &BrowseDeviceDialog::finished);
    connect(finder, &DeviceFinder::finished, thread, &QThread::quit);
    connect(thread, &QThread::finished, finder, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);

    thread->start(QThread::InheritPriority);
    progress.exec();

    m_refresh->setEnabled(true);
}

void BrowseDeviceDialog::finished()
{
    auto *finder = qobject_cast<DeviceFinder *>(sender());
    if (!finder)
        return;
    const QByteArray text = finder->foundDevices();
    if (text.isEmpty())
        return;
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    if (doc.isArray())
        m_model->setDevices(doc.array());
}

void BrowseDeviceDialog::pickDevice(QModelIndex index)
{
    const FoundDevice d = m_model->device(index.row());
    m_serial = d.serial;
    m_ip = d.ip;
    m_mac = d.mac;
    accept();
}
