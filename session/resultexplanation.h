#pragma once

#include <QCoreApplication>
#include <QString>

// Short words for an exchange's result code, the link's and the session's,
// for one-line error reports and the informative text of message boxes.
class ResultExplanation
{
    Q_DECLARE_TR_FUNCTIONS(ResultExplanation)

public:
    static QString explain(int code);
    // `failure` with its %1 replaced by the code, then the explanation.
    static QString line(const QString &failure, int code);
};
