#pragma once

#include "session/paramsdiff.h"
#include "session/registersession.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QTime>

#include <memory>

class DeviceIssueWidget;
class DeviceParams;
class DeviceWidget;
class EditWatcher;
class QLabel;
class QTabWidget;

// The editor of one registered register: its parameter set and tabs, built for
// the firmware family of its version, filled from the saved profile, read from
// and written to the register, saved as the profile and checked.
class DeviceWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DeviceWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~DeviceWindow() override;

    // Called once, right after construction.
    void setDevice(const QString &serial, const QString &version, const QString &name,
                   const QString &address);

    QString serial() const { return m_serial; }
    QString version() const { return m_version; }
    QString address() const { return m_address; }
    int goodsCap() const { return m_goodsCap; }
    bool hasData() const { return m_hasData; }
    QByteArray paramsImage() const { return m_paramsImage; }
    QByteArray systemBlock() const { return m_systemBlock; }
    // Null when the version names no family this window can edit.
    DeviceParams *params() const { return m_params.get(); }
    QList<DeviceWidget *> tabs() const { return m_tabList; }
    // The user has changed a value since the window was filled, saved as the
    // profile or written to the register.
    bool isEdited() const { return m_editCount != m_cleanAt; }

signals:
    // The register's registry entry (address or version) has changed.
    void updateRegistry();

private slots:
    void onDeviceImport();
    void onDeviceExport();
    void onProfileExport();
    void onDeviceChangeAddr();
    void onDeviceImportFinished();
    void onDeviceExportFinished();
    void onDeviceRestore();
    void onDeviceCompare();
    void onValidate();
    void onShowGoods();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Where the values shown came from.
    enum class Source { Defaults, Profile, Read, Written };

    struct DeviceImage
    {
        QString version;
        QString serial;
        int goodsCap = 0;
        QByteArray params;
        QByteArray system;
    };

    void createMenus();
    void createStatusBar();
    QSize openingSize();
    void createTabs(const QString &version);
    void clearTabs();
    void loadProfile(const QString &serial);
    void storeTabs();
    void loadTabs();
    void applyDeviceImage();
    // Writes the backup in `file` back to the register.
    void restoreBackup(const QString &file);
    void onRestoreFinished(const QString &file);
    // After a write that failed part way: the question whether to restore.
    void offerRestore(const QString &title, const QString &file);
    void onCompareFinished();
    // The window's values as they would be saved, without touching them.
    ParamsDiff::Blocks shownBlocks() const;
    void addBottomDock(DeviceIssueWidget *dock);
    void showDifferences(const QVector<ParamsDifference> &differences);
    void setAddress(const QString &address);
    bool hasParams(const QString &title);
    bool isIdle(const QString &title);
    bool mayDiscardEdits(const QString &title);
    void onEdited();
    void markClean(Source source, quint64 editCount);
    void showSource();
    void showStatus(const QString &text);

    QLabel *m_addressLabel = nullptr;
    QLabel *m_sourceLabel = nullptr;
    EditWatcher *m_editWatcher = nullptr;
    QTabWidget *m_tabWidget = nullptr;
    QByteArray m_paramsImage;
    QByteArray m_systemBlock;
    DeviceImage m_deviceImage;
    RegisterSession m_session;
    bool m_hasData = false;
    QString m_address;
    QString m_version;
    QString m_serial;
    int m_goodsCap = 0;
    std::unique_ptr<DeviceParams> m_params;
    QList<DeviceWidget *> m_tabList;
    DeviceIssueWidget *m_issueDock = nullptr;
    DeviceIssueWidget *m_compareDock = nullptr;
    Source m_source = Source::Defaults;
    QTime m_sourceTime;
    // Edits counted since the window opened; the window is clean while the
    // count is where the last fill, save or write left it. A write remembers
    // the count its values were taken at, so edits made while it ran remain.
    quint64 m_editCount = 0;
    quint64 m_cleanAt = 0;
    quint64 m_writtenAt = 0;
};
