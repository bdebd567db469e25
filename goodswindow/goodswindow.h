#pragma once

#include "goods/goodsitem.h"
#include "link/registerdefaults.h"
#include "session/registersession.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>

class GoodsFindBar;
class GoodsIssueWidget;
class ProfileFile;
class GoodsSortFilterProxyModel;
class GoodsTableModel;
class QLabel;
class QTableView;

// The editor of one register's goods table: read from and write to the
// register, store in the register's profile, add, remove, find and check rows.
// The status bar tells how many goods there are, of how many the register
// takes, and where they came from.
class GoodsWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit GoodsWindow(QWidget *parent = nullptr);

    // Called by the opener right after construction; loads the goods kept in
    // the profile of `serial`. A capacity of 0 stands for 2000.
    void setDevice(const QString &serial, int capacity, const QString &address, quint16 port,
                   const QStringList &departmentNames);

    QString address() const { return m_address; }
    QString serial() const { return m_serial; }
    quint16 port() const { return m_port; }
    int capacity() const { return m_capacity; }
    QTableView *view() const { return m_view; }
    GoodsTableModel *model() const { return m_model; }
    GoodsSortFilterProxyModel *proxy() const { return m_proxy; }
    GoodsIssueWidget *issues() const { return m_issues; }

protected:
    // Edits not yet stored anywhere are dropped only when the user says so.
    void closeEvent(QCloseEvent *event) override;
    // Insert, Delete and Enter on the table.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onDeviceExport();
    void onDeviceImport();
    void onDeviceExportFinished();
    void onDeviceRestore();
    void onDeviceImportFinished();
    void onTableMenu(const QPoint &pos);
    void onAppendGoods();
    void onRemoveGoods();
    void onProfileExport();
    void onFileLoad();
    void onOldFileLoad();
    void onFileSave();
    void onValidate();
    void onSorting();
    void onFind();
    void onFindNext();
    void onFindPrevious();
    void updateCount();

private:
    void buildMenus();
    void buildView();
    void buildStatusBar();
    void restoreBackup(const QString &file);
    void onRestoreFinished(const QString &file, const ProfileFile &backup);
    // After a write that failed part way: the question whether to restore.
    void offerRestore(const QString &title, const QString &file);
    void runExchange(const QString &progressText, bool import, const QByteArray &image, int rows);
    // Asks for a file and reads it whole; a failure is reported and gives false.
    bool readChosenFile(QString *fileName, QByteArray *bytes);
    // New rows from `source` ("ККТ, 12:04", "профиль", "файл goods.csv"),
    // shown in their own order.
    void replaceGoods(const GoodsList &goods, const QString &source);
    void fitColumns();
    // True, after asking, when unsaved edits may be dropped.
    bool mayDiscardEdits();
    // Warns and lists the rows whose prices the register cannot hold as they
    // are; true when there are any, and then nothing may be stored.
    bool refuseUnstorablePrices(const QString &title);
    void findFrom(bool forward);
    void showStatus(const QString &message);

    QString m_address;
    QString m_serial;
    quint16 m_port = RegisterDefaults::TcpPort;
    int m_capacity = 2000;
    QTableView *m_view = nullptr;
    GoodsTableModel *m_model = nullptr;
    GoodsSortFilterProxyModel *m_proxy = nullptr;
    RegisterSession m_session;
    GoodsIssueWidget *m_issues = nullptr;
    GoodsFindBar *m_findBar = nullptr;
    QString m_findText;
    QLabel *m_countLabel = nullptr;
    QLabel *m_sourceLabel = nullptr;
};
