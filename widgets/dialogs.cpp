#include "widgets/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

DialogHandler *Dialogs::s_handler = nullptr;

void Dialogs::setHandler(DialogHandler *handler)
{
    s_handler = handler;
}

DialogHandler *Dialogs::handler()
{
    return s_handler;
}

DialogAnswer Dialogs::ask(const DialogRequest &request)
{
    return s_handler->answer(request);
}

void Dialogs::message(QWidget *parent, DialogRequest::Kind kind, const QString &title, const QString &text,
                      const QString &informative)
{
    if (s_handler) {
        ask({kind, title, text, {}, informative});
        return;
    }
    const QMessageBox::Icon icon = kind == DialogRequest::Critical  ? QMessageBox::Critical
                                   : kind == DialogRequest::Warning ? QMessageBox::Warning
                                                                    : QMessageBox::Information;
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(informative);
    box.exec();
}

void Dialogs::warning(QWidget *parent, const QString &title, const QString &text, const QString &informative)
{
    message(parent, DialogRequest::Warning, title, text, informative);
}

void Dialogs::critical(QWidget *parent, const QString &title, const QString &text, const QString &informative)
{
    message(parent, DialogRequest::Critical, title, text, informative);
}

void Dialogs::information(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, DialogRequest::Information, title, text, QString());
}

bool Dialogs::question(QWidget *parent, const QString &title, const QString &text)
{
    if (s_handler)
        return ask({DialogRequest::Question, title, text, {}}).accepted;
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
}

QString Dialogs::getItem(QWidget *parent, const QString &title, const QString &label,
                         const QStringList &items, int current, bool *ok)
{
    if (s_handler) {
        const DialogAnswer a = ask({DialogRequest::Item, title, label, items});
        if (ok)
            *ok = a.accepted;
        return a.accepted ? a.value : QString();
    }
    return QInputDialog::getItem(parent, title, label, items, current, false, ok, Qt::Dialog);
}

QString Dialogs::getOpenFileName(QWidget *parent, const QString &caption,
                                 const QString &dir, const QString &filter)
{
    if (s_handler) {
        const DialogAnswer a = ask({DialogRequest::OpenFile, caption, dir, {filter}});
        return a.accepted ? a.value : QString();
    }
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString Dialogs::getSaveFileName(QWidget *parent, const QString &caption,
                                 const QString &dir, const QString &filter)
{
    if (s_handler) {
        const DialogAnswer a = ask({DialogRequest::SaveFile, caption, dir, {filter}});
        return a.accepted ? a.value : QString();
    }
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}
