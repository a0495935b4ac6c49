#include "albums/cloud/CloudLoginInputRules.h"

namespace CloudLoginInputRules {

QString insertedText(const QString& before, const QString& after)
{
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return after.mid(prefix, after.size() - prefix - suffix);
}

bool accountAccepts(const QString& before, const QString& after)
{
    return insertedText(before, after).isEmpty() || before.size() <= kMaxTyped;
}

bool passwordAccepts(const QString& before, const QString& after)
{
    const QString inserted = insertedText(before, after);
    if (inserted.isEmpty())
        return true;
    if (inserted == QStringLiteral(" ") || inserted == QStringLiteral("\u3000"))
        return false;
    return before.size() <= kMaxTyped;
}

bool passwordLengthValid(const QString& password)
{
    return !password.isEmpty() && password.size() <= kMaxPassword;
}

}
