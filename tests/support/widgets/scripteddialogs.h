#pragma once

#include "widgets/dialogs.h"

#include <QList>
#include <QQueue>

#include <functional>

// Answers the utility's dialogs in tests. Message boxes need no answer and are
// only recorded; questions, list choices, address prompts and file dialogs take
// the next scripted answer. One that has none fails the running test at once and
// is answered with No / Cancel, so no test ever waits on a modal box.
class ScriptedDialogs : public DialogHandler
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    void answerYes() { push(true, {}); }
    void answerNo() { push(false, {}); }
    void answerItem(const QString &item) { push(true, item); }
    void answerAddress(const QString &address) { push(true, address); }
    void answerFile(const QString &fileName) { push(true, fileName); }
    void answerCancel() { push(false, {}); }

    DialogAnswer answer(const DialogRequest &request) override;

    // Runs as each box or prompt comes up, before it is answered: a test
    // looks there at what else is on screen at that moment.
    void setOnShown(const std::function<void(const DialogRequest &)> &onShown) { m_onShown = onShown; }

    const QList<DialogRequest> &shown() const { return m_shown; }
    DialogRequest last() const;
    int pendingAnswers() const { return m_answers.size(); }
    void clear();

private:
    void push(bool accepted, const QString &value);

    QQueue<DialogAnswer> m_answers;
    QList<DialogRequest> m_shown;
    std::function<void(const DialogRequest &)> m_onShown;
    DialogHandler *m_previous = nullptr;
};

const char *dialogKindName(DialogRequest::Kind kind);
