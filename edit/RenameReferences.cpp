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

// The list with each entry mapped, sharing the original's storage while nothing changes.
template <typename Map>
QStringList mapped(const QStringList& list, Map map)
{
    QStringList result = list;
    for (qsizetype i = 0; i < list.size(); ++i) {
        QString changed = map(list.at(i));
        if (changed != list.at(i))
            result[i] = std::move(changed);
    }
    return result;
}

} // namespace

bool RenameReferences::UpdateOne(CmDecisionItem& item, const QString& oldName, const QString& newName)
{
    const QString heading =
        item.Heading().contains(QLatin1String("[[")) ? InReference(item.Heading(), oldName, newName) : item.Heading();
    const QStringList group = mapped(item.Group(), [&](const QString& entry) {
        return entry.compare(oldName, Qt::CaseInsensitive) == 0 ? newName : entry;
    });
    const QStringList lines =
        mapped(item.OptsAndActs(), [&](const QString& line) { return InAction(line, oldName, newName); });
    return item.RewriteReferences(heading, group, lines);
}
