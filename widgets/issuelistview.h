#pragma once

#include <QListView>
#include <QString>

// The list of a "Проблемы" dock. An empty list after a check would look like
// a check that never ran, so the view says in words that nothing was found;
// the text is drawn, never added to the model, so the list stays empty.
class IssueListView : public QListView
{
    Q_OBJECT

public:
    explicit IssueListView(QWidget *parent = nullptr);

    QString placeholderText() const { return m_placeholderText; }
    void setPlaceholderText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool isEmpty() const;

    QString m_placeholderText;
};
