#include "runtime/AnswerList.h"

#include "base/ResourceStrings.h"

namespace {
const QLatin1String BackLine("BACK");
}

std::optional<QString> AnswerList::parse(const QString& text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString(lines.at(i)).remove(QLatin1Char('\r'));
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.compare(QLatin1String("FINISH"), Qt::CaseInsensitive) == 0) {
            m_finish = true;
            continue;
        }
        if (trimmed.compare(BackLine, Qt::CaseInsensitive) == 0) {
            appendBack();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || line.left(equals).trimmed().isEmpty())
            return LoadResString(32545).arg(i + 1).arg(line);
        append(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return std::nullopt;
}

void AnswerList::append(const QString& name, const QString& value)
{
    if (!name.isEmpty())
        m_byName[name.toCaseFolded()].append(static_cast<int>(m_entries.size()));
    m_entries.append(Entry{name, value, false});
}

std::optional<QString> AnswerList::take(const QString& name)
{
    auto found = m_byName.find(name.trimmed().toCaseFolded());
    if (found == m_byName.end() || found->isEmpty())
        return std::nullopt;
    Entry& entry = m_entries[found->takeFirst()];
    entry.taken = true;
    return entry.value;
}

bool AnswerList::takeBack()
{
    for (Entry& entry : m_entries) {
        if (entry.taken)
            continue;
        if (!entry.name.isEmpty())
            return false;
        entry.taken = true;
        return true;
    }
    return false;
}

QStringList AnswerList::leftOver() const
{
    QStringList names;
    for (const Entry& entry : m_entries)
        if (!entry.taken)
            names.append(entry.name.isEmpty() ? QString(BackLine) : QStringLiteral("%1=%2").arg(entry.name, entry.value));
    return names;
}
