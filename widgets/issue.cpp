#include "widgets/issue.h"

Issue::Issue(const QString &text)
    : text(text)
{
}

Issue::~Issue() = default;
