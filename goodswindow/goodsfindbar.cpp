#include "goodswindow/goodsfindbar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

GoodsFindBar::GoodsFindBar(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
{
    setObjectName(QStringLiteral("findBar"));
    m_edit->setObjectName(QStringLiteral("findEdit"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setPlaceholderText(tr("наименование, вн. код или штрихкод"));
    // Room for a whole name being typed, whatever the hint beside it needs.
    m_edit->setMinimumWidth(m_edit->fontMetrics().averageCharWidth() * 24);
    m_edit->installEventFilter(this);
    auto *hint = new QLabel(tr("F3 — далее, Shift+F3 — назад"), this);
    hint->setEnabled(false);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Найти:"), this));
    layout->addWidget(m_edit, 1);
    layout->addWidget(hint);
    connect(m_edit, &QLineEdit::returnPressed, this, &GoodsFindBar::findNext);
    hide();
}

QString GoodsFindBar::text() const
{
    return m_edit->text();
}

void GoodsFindBar::open()
{
    show();
    m_edit->selectAll();
    m_edit->setFocus(Qt::ShortcutFocusReason);
}

bool GoodsFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        hide();
        emit closed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
