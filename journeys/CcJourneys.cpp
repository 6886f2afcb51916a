#include "journeys/CcJourneys.h"

#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "journeys/JourneyRecorder.h"
#include "journeys/JourneyStore.h"
#include "journeys/ProjectTree.h"
#include "model/CmDocument.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

namespace {
constexpr int ProgramNameId = 30000;
constexpr int NameQuestionId = 33005;
constexpr int RecordTitleId = 33006;
constexpr int ReplaceId = 33007;
constexpr int NothingToRecordId = 33008;
constexpr int RecordedId = 33009;
constexpr int PassId = 33040;
constexpr int FailId = 33041;
constexpr int SummaryLineId = 33042;
constexpr int DefaultNameId = 33076;
constexpr int NotCompiledId = 33077;

qsizetype indexOf(const QList<Journey>& journeys, const QString& name)
{
    for (qsizetype i = 0; i < journeys.size(); ++i) {
        if (journeys.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
} // namespace

CcJourneys::CcJourneys(const CmDecisionManager& decisions, CmDocument& document, IPrompt& prompt, QObject* parent)
    : QObject(parent), m_decisions(decisions), m_document(document), m_prompt(prompt)
{
}

void CcJourneys::Reload()
{
    QList<Journey> journeys;
    const StorageResult read = JourneyStore::read(m_document.Storage(), journeys);
    if (!read)
        emit logLine(read.message);
    m_list.setJourneys(journeys);
}

void CcJourneys::message(const QString& text) const
{
    m_prompt.MessageBox(text, LoadResString(ProgramNameId), PromptButtons::Ok, PromptIcon::Exclamation);
}

bool CcJourneys::CanRecord(const RuntimeEngine* engine)
{
    return engine && JourneyRecorder::canRecord(*engine);
}

bool CcJourneys::Record(const RuntimeEngine* engine)
{
    std::optional<Journey> journey = engine ? JourneyRecorder::record(*engine, QString()) : std::nullopt;
    if (!journey) {
        message(LoadResString(NothingToRecordId));
        return false;
    }
    QList<Journey> journeys = m_list.journeys();
    const QString suggested = LoadResString(DefaultNameId).arg(journeys.size() + 1);
    const std::optional<QString> answer =
        m_prompt.InputBox(LoadResString(NameQuestionId), LoadResString(RecordTitleId), suggested);
    const QString name = answer ? answer->simplified() : QString();
    if (name.isEmpty())
        return false;
    journey->name = name;
    const qsizetype existing = indexOf(journeys, name);
    if (existing >= 0) {
        const PromptAnswer replace = m_prompt.MessageBox(LoadResString(ReplaceId).arg(name), LoadResString(RecordTitleId),
                                                         PromptButtons::YesNo, PromptIcon::Question);
        if (replace != PromptAnswer::Yes)
            return false;
        journeys[existing] = *journey;
    } else {
        journeys.append(*journey);
    }
    if (!store(journeys))
        return false;
    emit logLine(LoadResString(RecordedId).arg(name).arg(journey->path.size()));
    return true;
}

bool CcJourneys::store(const QList<Journey>& journeys)
{
    if (const StorageResult written = JourneyStore::write(m_document.Storage(), journeys); !written) {
        message(written.message);
        return false;
    }
    m_document.setDirty(true);
    m_list.setJourneys(journeys);
    return true;
}

bool CcJourneys::Remove(int row)
{
    QList<Journey> journeys = m_list.journeys();
    if (row < 0 || row >= journeys.size())
        return false;
    journeys.removeAt(row);
    return store(journeys);
}

bool CcJourneys::Run(const QList<int>& rows)
{
    CompiledTree tree;
    QString log;
    if (const StorageResult compiled = ProjectTree::compile(m_decisions, m_document, tree, log); !compiled) {
        if (!log.trimmed().isEmpty())
            emit logLine(log.trimmed());
        m_list.clearResults();
        message(LoadResString(NotCompiledId).arg(compiled.message));
        return false;
    }
    QList<int> chosen = rows;
    if (chosen.isEmpty()) {
        for (int row = 0; row < m_list.rowCount(); ++row)
            chosen.append(row);
    }
    int passed = 0;
    for (const int row : std::as_const(chosen)) {
        if (row < 0 || row >= m_list.rowCount())
            continue;
        const Journey& journey = m_list.journeys().at(row);
        const JourneyResult result = JourneyRun::run(tree, journey);
        m_list.setResult(row, result);
        passed += result.passed ? 1 : 0;
        emit logLine(result.passed ? LoadResString(PassId).arg(journey.name)
                                   : LoadResString(FailId).arg(journey.name, result.difference));
    }
    emit logLine(LoadResString(SummaryLineId).arg(passed).arg(chosen.size()));
    return true;
}
