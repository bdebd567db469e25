#pragma once

#include <QWidget>

class QLineEdit;

// The find field under the goods table. Enter asks for the next match,
// Escape hides the bar and hands the keyboard back to the table.
class GoodsFindBar : public QWidget
{
    Q_OBJECT

public:
    explicit GoodsFindBar(QWidget *parent = nullptr);

    QString text() const;
    // Shows the bar with its text selected, ready to be typed over.
    void open();

signals:
    void findNext();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit = nullptr;
};
