#include "edit/RenameReferences.h"

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionChange.h"

namespace {

bool takesTarget(const QString& word)
{
    return word == QLatin1String("!GO") || word == QLatin1String("!DEFAULT") || word == QLatin1String("!SET");
}

QString renamedTarget(const QString& line, const QString& oldName, const QString& newName)
{
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    if (blank < 0 || !takesTarget(line.left(blank)))
        return line;
    const qsizetype equals = line.indexOf(QLatin1Char('='), blank + 1);
    const qsizetype end = equals < 0 ? line.size() : equals;
    const QString target = line.mid(blank + 1, end - blank - 1);
    if (target.trimmed() != oldName)
        return line;
    qsizetype start = blank + 1;
    while (start < end && line.at(start).isSpace())
        ++start;
    return line.left(start) + newName + line.mid(start + oldName.size());
}

} // namespace

QString RenameReferences::InReference(const QString& text, const QString& oldName, const QString& newName)
{
    if (!text.contains(QLatin1String("[[")))
        return text;
    QString result = text;
    return result.replace(QLatin1String("[[") + oldName + QLatin1String("]]"),
                          QLatin1String("[[") + newName + QLatin1String("]]"), Qt::CaseSensitive);
}

QString RenameReferences::InAction(const QString& line, const QString& oldName, const QString& newName)
{
    if (!line.startsWith(QLatin1Char('!')))
        return line;
    return renamedTarget(InReference(line, oldName, newName), oldName, newName);
}

void RenameReferences::UpdateAll(CmDecisionManager& decisions, const QString& oldName, const QString& newName)
{
    if (oldName.isEmpty())
        return;
    const int count = decisions.Count();
    for (int i = 1; i <= count; ++i) {
        if (CmDecisionItem* item = decisions.ItemByIndex(i))
            UpdateOne(*item, oldName, newName);
    }
}

namespace {

// The list with each entry mapped, sharing the original's storage while nothing changes;
// changed says whether any entry did.
template <typename Map>
QStringList mapped(const QStringList& list, bool& changed, Map map)
{
    QStringList result = list;
    for (qsizetype i = 0; i < list.size(); ++i) {
        QString entry = map(list.at(i));
        if (entry != list.at(i)) {
            result[i] = std::move(entry);
            changed = true;
        }
    }
    return result;
}

} // namespace

bool RenameReferences::UpdateOne(CmDecisionItem& item, const QString& oldName, const QString& newName)
{
    // A rename looks at every control; most never write the old name, and a search for it is
    // far cheaper than reading each of their lines.
    const auto writes = [&oldName](const QString& text) { return text.contains(oldName); };
    bool changed = false;
    QString heading = item.Heading();
    if (writes(heading)) {
        heading = InReference(heading, oldName, newName);
        changed = heading != item.Heading();
    }
    const QStringList group = mapped(item.Group(), changed, [&](const QString& entry) {
        return entry.compare(oldName, Qt::CaseInsensitive) == 0 ? newName : entry;
    });
    const QStringList lines = mapped(item.OptsAndActs(), changed, [&](const QString& line) {
        return writes(line) ? InAction(line, oldName, newName) : line;
    });
    return changed && item.RewriteReferences(heading, group, lines);
}
