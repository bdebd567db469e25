#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

class InputIpDialog : public QDialog
{
    Q_OBJECT

public:
    explicit InputIpDialog(QWidget *parent = nullptr);

    // The entered text when accepted (possibly incomplete), else a null string.
    static QString getIp(QWidget *parent, const QString &title, const QString &label);

    void setLabelText(const QString &text);
    QString text() const;

private:
    QLabel *m_label = nullptr;
    QLineEdit *m_edit = nullptr;
};
