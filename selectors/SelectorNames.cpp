#include "selectors/SelectorNames.h"

#include <QFileInfo>

bool SelectorNames::IsReserved(const QString& name)
{
    return name.compare(QLatin1String("ADD SOLUTION SET SELECTOR"), Qt::CaseInsensitive) == 0;
}

bool SelectorNames::IsValid(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('\\')) && !IsReserved(name)
           && name.compare(QLatin1String("External"), Qt::CaseInsensitive) != 0;
}

QString SelectorNames::GetNextID(const QString& name)
{
    qsizetype digits = name.size();
    while (digits > 0 && name.at(digits - 1).isDigit() && name.at(digits - 1).unicode() < 128)
        --digits;
    if (digits == name.size())
        return name + QLatin1Char('1');
    const QString tail = name.mid(digits);
    // Long tails count on as text, so no digit string is too long for a number.
    QString next = tail;
    qsizetype pos = next.size() - 1;
    while (pos >= 0 && next.at(pos) == QLatin1Char('9'))
        next[pos--] = QLatin1Char('0');
    if (pos < 0)
        next.prepend(QLatin1Char('1'));
    else
        next[pos] = QChar(next.at(pos).unicode() + 1);
    return name.left(digits) + next;
}

QString SelectorNames::FirstFree(const QString& name, const std::function<bool(const QString&)>& taken)
{
    QString candidate = name;
    while (!IsValid(candidate) || taken(candidate))
        candidate = GetNextID(candidate);
    return candidate;
}

QString SelectorNames::FromFile(const QString& path)
{
    const QString fileName = QFileInfo(path).fileName();
    const qsizetype dot = fileName.indexOf(QLatin1Char('.'), 1);
    return dot < 0 ? fileName : fileName.left(dot);
}
