#pragma once

#include <QMainWindow>
#include <QModelIndex>

class DeviceTableModel;
class QSortFilterProxyModel;
class QTableView;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

private slots:
    void on_actionNewDevice_triggered();
    void on_deviceTable_doubleClicked(QModelIndex index);
    void on_actionDropDevice_triggered();

private:
    void buildUi();
    void widenForColumns();
    int listWidth() const;
    void addOpenKeys();
    QModelIndex selectedRow() const;
    QString serialAt(const QModelIndex &proxyIndex) const;

    DeviceTableModel *m_model = nullptr;
    QSortFilterProxyModel *m_sortModel = nullptr;
    QTableView *m_table = nullptr;
};
