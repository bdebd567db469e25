#include "tests/support/widgets/scripteddialogs.h"

#include <QTest>

ScriptedDialogs::ScriptedDialogs()
    : m_previous(Dialogs::handler())
{
    Dialogs::setHandler(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    Dialogs::setHandler(m_previous);
}

void ScriptedDialogs::push(bool accepted, const QString &value)
{
    m_answers.enqueue({accepted, value});
}

DialogAnswer ScriptedDialogs::answer(const DialogRequest &request)
{
    m_shown.append(request);
    if (m_onShown)
        m_onShown(request);
    switch (request.kind) {
    case DialogRequest::Warning:
    case DialogRequest::Critical:
    case DialogRequest::Information:
        return {true, {}};
    default:
        break;
    }
    if (m_answers.isEmpty()) {
        const QByteArray what = QByteArray("unscripted ") + dialogKindName(request.kind) + ": "
                + request.title.toUtf8() + " / " + request.text.toUtf8();
        QTest::qFail(what.constData(), __FILE__, __LINE__);
        return {false, {}};
    }
    return m_answers.dequeue();
}

DialogRequest ScriptedDialogs::last() const
{
    return m_shown.isEmpty() ? DialogRequest() : m_shown.last();
}

void ScriptedDialogs::clear()
{
    m_shown.clear();
    m_answers.clear();
}

const char *dialogKindName(DialogRequest::Kind kind)
{
    switch (kind) {
    case DialogRequest::Warning: return "warning";
    case DialogRequest::Critical: return "critical";
    case DialogRequest::Information: return "information";
    case DialogRequest::Question: return "question";
    case DialogRequest::Item: return "item";
    case DialogRequest::Address: return "address";
    case DialogRequest::OpenFile: return "open file";
    case DialogRequest::SaveFile: return "save file";
    }
    return "?";
}
