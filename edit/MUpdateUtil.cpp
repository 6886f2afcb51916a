#include "edit/MUpdateUtil.h"

#include "base/IPrompt.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"

#include <QStringList>

namespace {

constexpr int UpdateTitleId = 32610;
constexpr int WarningFirstId = 32611;
constexpr int WarningLastId = 32618;
constexpr int SortCompleteId = 32619;
constexpr int SortFailedId = 32620;
constexpr int CheckUpdatedId = 32621;
constexpr int CommandUpdatedId = 32622;
constexpr int HaveBeenUpdatedId = 32623;

bool isLine(const QString& line, const char* text)
{
    return line.trimmed().compare(QLatin1String(text), Qt::CaseInsensitive) == 0;
}

bool hasOldMarker(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (isLine(line, "^TRUE") || isLine(line, "^FALSE") || isLine(line, "!OTHERWISE"))
            return true;
    }
    return false;
}

QString sortWord(const QString& word)
{
    const QString trimmed = word.trimmed();
    for (const char* falseWord : {"Ascending", "Asc", "0", "False"}) {
        if (trimmed.compare(QLatin1String(falseWord), Qt::CaseInsensitive) == 0)
            return QStringLiteral("FALSE");
    }
    for (const char* trueWord : {"Descending", "Desc", "1", "-1", "True"}) {
        if (trimmed.compare(QLatin1String(trueWord), Qt::CaseInsensitive) == 0)
            return QStringLiteral("TRUE");
    }
    return trimmed;
}

} // namespace

QString MUpdateUtil::UpdateQE(const QString& text)
{
    QString result = text;
    for (qsizetype i = 0; i + 1 < result.size(); ++i) {
        if (result.at(i) == QLatin1Char('"') && result.at(i + 1) == QLatin1Char('\\')) {
            result[i] = QLatin1Char('\\');
            result[i + 1] = QLatin1Char('"');
            ++i;
        }
    }
    return result;
}

QStringList MUpdateUtil::ConvertOldLayout(const QStringList& lines, qint16 type)
{
    if (!hasOldMarker(lines))
        return lines;
    const bool command = type == MDecisionDataUtil::Command;
    const QString trueOption = command ? QStringLiteral("^Pushed") : QStringLiteral("^Checked");
    const QString falseOption = command ? QStringLiteral("^Not Pushed") : QStringLiteral("^Not Checked");
    qsizetype caption = -1;
    for (qsizetype i = 0; i < lines.size() && caption < 0; ++i) {
        if (isLine(lines.at(i), "^TRUE"))
            caption = i;
    }
    QStringList preActions, trueActions, falseActions;
    bool otherwise = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (i == caption || isLine(line, "^TRUE") || isLine(line, "^FALSE"))
            continue;
        if (isLine(line, "!OTHERWISE"))
            otherwise = true;
        else if (otherwise)
            falseActions.append(line);
        else if (i < caption)
            preActions.append(line);
        else
            trueActions.append(line);
    }
    return preActions + QStringList{trueOption} + trueActions + QStringList{falseOption} + falseActions;
}

int MUpdateUtil::UpdateControls(CmDecisionManager& decisions, qint16 type, IPrompt& prompt)
{
    const QString typeName = MDecisionDataUtil::ControlIntToStr(type);
    QString warning;
    for (int id = WarningFirstId; id <= WarningLastId; ++id) {
        warning += LoadResString(id);
        if (id == WarningFirstId)
            warning += typeName;
    }
    if (prompt.MessageBox(warning, LoadResString(UpdateTitleId) + typeName, PromptButtons::OkCancel,
                          PromptIcon::Exclamation) == PromptAnswer::Cancel)
        return -1;
    int updated = 0;
    for (int i = 1; i <= decisions.Count(); ++i) {
        CmDecisionItem* item = decisions.ItemByIndex(i);
        if (!item || item->intControl() != type)
            continue;
        const QStringList converted = ConvertOldLayout(item->OptsAndActs(), type);
        if (converted != item->OptsAndActs()) {
            item->setOptsAndActs(converted);
            ++updated;
        }
    }
    return updated;
}

void MUpdateUtil::UpdateControlsCommand(CmDecisionManager& decisions, qint16 type, IPrompt& prompt)
{
    ProcedureBoundary::run("MUpdateUtil.UpdateControls", [&] {
        const int updated = UpdateControls(decisions, type, prompt);
        if (updated < 0)
            return;
        const int kindId = type == MDecisionDataUtil::Command ? CommandUpdatedId : CheckUpdatedId;
        prompt.MessageBox(QString::number(updated) + LoadResString(kindId) + LoadResString(HaveBeenUpdatedId),
                          QString(), PromptButtons::Ok, PromptIcon::Information);
    });
}

QString MUpdateUtil::UpdateSortLine(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1String("!SORT"), Qt::CaseInsensitive)
        || (trimmed.size() > 5 && !trimmed.at(5).isSpace()))
        return line;
    const qsizetype semicolon = line.lastIndexOf(QLatin1Char(';'));
    if (semicolon < 0)
        return line;
    QStringList orders = line.mid(semicolon + 1).split(QLatin1Char(','));
    for (QString& order : orders)
        order = sortWord(order);
    return line.left(semicolon + 1) + orders.join(QLatin1Char(','));
}

void MUpdateUtil::UpdateSortOrder(CmDecisionManager& decisions, IPrompt& prompt)
{
    const bool done = ProcedureBoundary::runOr("MUpdateUtil.UpdateSortOrder", false, [&] {
        for (int i = 1; i <= decisions.Count(); ++i) {
            CmDecisionItem* item = decisions.ItemByIndex(i);
            if (!item)
                continue;
            QStringList lines = item->OptsAndActs();
            for (QString& line : lines)
                line = UpdateSortLine(line);
            if (lines != item->OptsAndActs())
                item->setOptsAndActs(lines);
        }
        return true;
    });
    prompt.MessageBox(LoadResString(done ? SortCompleteId : SortFailedId), QString(), PromptButtons::Ok,
                      done ? PromptIcon::Information : PromptIcon::Critical);
}
