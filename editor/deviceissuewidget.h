#pragma once

#include <QDockWidget>
#include <QPointer>

class DeviceWidget;
class IssueListModel;
class QListView;
class QTabWidget;

// The "Проблемы" dock of a device window. A double click on a problem makes
// its tab current and focuses the offending control.
class DeviceIssueWidget : public QDockWidget
{
    Q_OBJECT

public:
    // `tabs` is the window's tab widget (not owned).
    explicit DeviceIssueWidget(QTabWidget *tabs, QWidget *parent = nullptr);

    // `control` may be null: the double click then only switches the tab.
    void addIssue(DeviceWidget *widget, QWidget *control, const QString &text);
    // The window clears it before every validation run.
    IssueListModel *model() const;

private slots:
    void showIssue(const QModelIndex &index);

private:
    QPointer<QTabWidget> m_tabs;
    QListView *m_view = nullptr;
    IssueListModel *m_model = nullptr;
};
