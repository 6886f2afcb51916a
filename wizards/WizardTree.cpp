#include "wizards/WizardTree.h"

#include "base/ResourceStrings.h"
#include "journeys/ProjectTree.h"
#include "model/CmDecisionItem.h"
#include "model/RulesText.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"
#include "selectors/SelectorStore.h"
#include "selectors/SelectorText.h"

#include <QFile>
#include <QRegularExpression>

namespace {
constexpr int MissingTreeId = 34008;
} // namespace

StorageResult WizardTree::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return StorageResult::failure(StorageErrorKind::NotFound, LoadResString(MissingTreeId).arg(path));
    const RulesText::ReadResult read = RulesText::Read(QString::fromUtf8(file.readAll()), m_decisions);
    if (!read.ok)
        return StorageResult::failure(StorageErrorKind::Corrupt, read.message);
    for (int index = 1; index <= m_decisions.Count(); ++index)
        localize(*m_decisions.ItemByIndex(index));
    return StorageResult::success();
}

void WizardTree::localize(CmDecisionItem& item)
{
    item.setCaption(localized(item.Caption()));
    item.setHeading(localized(item.Heading()));
    item.setDefaultValue(localized(item.DefaultValue().toString()));
    QStringList lines = item.OptsAndActs();
    for (QString& line : lines)
        line = localized(line);
    item.setOptsAndActsAsRead(lines);
}

StorageResult WizardTree::addTable(const QString& name, const Rows& rows)
{
    return SelectorStore(m_document.Storage()).WriteText(name, SelectorText::Write(rows));
}

void WizardTree::setDefault(const QString& control, const QString& value)
{
    if (CmDecisionItem* item = m_decisions.Item(control))
        item->setDefaultValue(value);
}

StorageResult WizardTree::compile(CompiledTree& tree, QString& log) const
{
    return ProjectTree::compile(m_decisions, m_document, tree, log);
}

WizardTree::Answers WizardTree::answersOf(const RuntimeEngine& engine)
{
    Answers answers;
    const RuntimeEngine::RunValues values = engine.values();
    for (const auto& [name, value] : values.controls)
        answers.insert(name, value);
    return answers;
}

QString WizardTree::localized(const QString& text)
{
    static const QRegularExpression mark(QStringLiteral("\\{(\\d+)\\}"));
    QString result;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : mark.globalMatch(text)) {
        result += text.mid(from, match.capturedStart() - from);
        result += LoadResString(match.captured(1).toInt());
        from = match.capturedEnd();
    }
    return result + text.mid(from);
}
