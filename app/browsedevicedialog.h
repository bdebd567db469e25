#pragma once

#include <QDialog>
#include <QModelIndex>

class BrowseTableModel;
class QPushButton;

// Lists the registers that answer the LAN search; a double click picks one.
class BrowseDeviceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BrowseDeviceDialog(QWidget *parent = nullptr);

    QString serial() const { return m_serial; }
    QString ip() const { return m_ip; }
    QString mac() const { return m_mac; }

public slots:
    void setupTable();
    void finished();
    void pickDevice(QModelIndex index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_serial;
    QString m_ip;
    QString m_mac;
    QPushButton *m_refresh = nullptr;
    BrowseTableModel *m_model = nullptr;
};
