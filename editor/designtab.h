#pragma once

#include "widgets/devicewidget.h"

#include <QList>

class QGroupBox;
class QLineEdit;
class QStringList;

// The "Дизайн чека" page, shared by both families: receipt header and footer,
// six lines each, in a fixed-pitch font so the printed width shows.
class DesignTab : public DeviceWidget
{
    Q_OBJECT

public:
    static constexpr int LineCount = 6;
    static constexpr int LineMax = 22;

    explicit DesignTab(QWidget *parent = nullptr);

    void storeParams(DeviceParams *params) override;
    void loadParams(DeviceParams *params) override;
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override;

private:
    QGroupBox *createGroup(const QString &title, const char *namePrefix, QList<QLineEdit *> &edits);
    static void showLines(const QList<QLineEdit *> &edits, const QStringList &lines);
    static QStringList shownLines(const QList<QLineEdit *> &edits);

    QList<QLineEdit *> m_header;
    QList<QLineEdit *> m_footer;
};
