#pragma once

#include <QString>

// A validation problem as listed in a "Проблемы" dock. Issues are shared
// (QSharedPointer<Issue>); a dock finds the concrete kind with a checked
// downcast, so a list may mix kinds.
class Issue
{
public:
    explicit Issue(const QString &text = QString());
    virtual ~Issue();

    Issue(const Issue &) = default;
    Issue &operator=(const Issue &) = default;

    // The message shown to the user.
    QString text;
};
