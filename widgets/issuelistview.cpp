#include "widgets/issuelistview.h"

#include <QPainter>

IssueListView::IssueListView(QWidget *parent)
    : QListView(parent)
{
}

void IssueListView::setPlaceholderText(const QString &text)
{
    m_placeholderText = text;
    viewport()->update();
}

bool IssueListView::isEmpty() const
{
    return !model() || model()->rowCount(rootIndex()) == 0;
}

void IssueListView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    if (m_placeholderText.isEmpty() || !isEmpty())
        return;
    QPainter painter(viewport());
    // The colour line edits use for their own placeholder: a hint, not an entry.
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect(), Qt::AlignCenter | Qt::TextWordWrap, m_placeholderText);
}
