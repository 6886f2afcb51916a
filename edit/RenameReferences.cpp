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
        CmDecisionItem* item = decisions.ItemByIndex(i);
        if (item && UpdateOne(*item, oldName, newName))
            item->reportChange({DecisionChange::What::References, 0, QVariant(), QVariant()});
    }
}

bool RenameReferences::UpdateOne(CmDecisionItem& item, const QString& oldName, const QString& newName)
{
    bool changed = false;
    if (item.Heading().contains(QLatin1String("[["))) {
        const QString heading = InReference(item.Heading(), oldName, newName);
        changed = heading != item.Heading();
        item.setHeading(heading);
    }
    QStringList& group = item.Group();
    for (QString& entry : group) {
        if (entry.compare(oldName, Qt::CaseInsensitive) == 0 && entry != newName) {
            entry = newName;
            changed = true;
        }
    }
    for (QString& line : item.OptsAndActs()) {
        if (!line.startsWith(QLatin1Char('!')))
            continue;
        QString renamed = InAction(line, oldName, newName);
        if (renamed != line) {
            line = std::move(renamed);
            changed = true;
        }
    }
    return changed;
}
