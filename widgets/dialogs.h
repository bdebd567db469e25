#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every message box, question, list choice, address prompt and file dialog of
// the utility goes through Dialogs, so that tests can answer them and read what
// was shown instead of blocking on a modal box.
struct DialogRequest
{
    enum Kind { Warning, Critical, Information, Question, Item, Address, OpenFile, SaveFile };

    DialogRequest(Kind kind = Warning, const QString &title = QString(), const QString &text = QString(),
                  const QStringList &items = QStringList(), const QString &informative = QString())
        : kind(kind), title(title), text(text), items(items), informative(informative)
    {
    }

    Kind kind = Warning;
    QString title;
    QString text;       // message text, list label, current address or file dialog folder
    QStringList items;  // list choices, or the file name filter as its only element
    QString informative; // a message box's second text, under its own
};

struct DialogAnswer
{
    bool accepted = false;  // Yes, OK, or a file chosen
    QString value;          // chosen item, entered address, chosen file name
};

class DialogHandler
{
public:
    virtual ~DialogHandler() = default;
    virtual DialogAnswer answer(const DialogRequest &request) = 0;
};

class Dialogs
{
public:
    // `informative` goes under the text, smaller: what a result code means.
    static void warning(QWidget *parent, const QString &title, const QString &text,
                        const QString &informative = QString());
    static void critical(QWidget *parent, const QString &title, const QString &text,
                         const QString &informative = QString());
    static void information(QWidget *parent, const QString &title, const QString &text);
    // Yes and No buttons; true only for Yes.
    static bool question(QWidget *parent, const QString &title, const QString &text);
    // Non-editable list choice; empty string when cancelled.
    static QString getItem(QWidget *parent, const QString &title, const QString &label,
                           const QStringList &items, int current, bool *ok);
    static QString getOpenFileName(QWidget *parent, const QString &caption,
                                   const QString &dir, const QString &filter);
    static QString getSaveFileName(QWidget *parent, const QString &caption,
                                   const QString &dir, const QString &filter);

    // For prompts of our own (such as the address dialog): returns the handler's
    // answer when one is installed, else runs `show`.
    template<typename Show>
    static DialogAnswer custom(const DialogRequest &request, Show show)
    {
        if (s_handler)
            return s_handler->answer(request);
        return show();
    }

    // Installed by tests; nullptr restores the real dialogs.
    static void setHandler(DialogHandler *handler);
    static DialogHandler *handler();

private:
    static DialogAnswer ask(const DialogRequest &request);
    static void message(QWidget *parent, DialogRequest::Kind kind, const QString &title, const QString &text,
                        const QString &informative);
    static DialogHandler *s_handler;
};
