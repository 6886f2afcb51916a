#include "testmode/CcDecisionTest.h"

#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/DecisionDataConversion.h"
#include "model/MDecisionDataUtil.h"
#include "runtime/RuntimeControl.h"
#include "testmode/ITestModeHost.h"
#include "validate/CcValidation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint32 DesktopFileType = 3;
constexpr int EndOfWizardId = 11423;
constexpr int InvalidReferenceId = 12504;
constexpr int SaveFirstId = 32800;
constexpr int LoadingId = 32801;
constexpr int NewPageId = 32802;
constexpr int NoGoId = 32803;
constexpr int DefaultDoneId = 32804;
constexpr int NextIdId = 36150;
constexpr int ErrorPrefixId = 32805;
constexpr int ClosingId = 32806;
constexpr int CannotGoId = 32807;
constexpr int NoSuchControlId = 32808;
constexpr int NoOptionsId = 32809;
constexpr int SkippedId = 32810;
constexpr int UnreadableTestFileId = 32820;
constexpr int NoStartControlId = 32828;
constexpr int NotTestableId = 32829;
constexpr int NotANumberId = 32830;
constexpr int ExternalInBrowserId = 37501;

using Status = DecisionValuesModel::Status;

QString keywordOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
    return (blank < 0 ? trimmed : trimmed.left(blank)).toUpper();
}

QString argumentOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : trimmed.mid(blank + 1).trimmed();
}

// "[[Name]]" and "Name" both name the control.
QString bareName(QString reference)
{
    reference = reference.trimmed();
    if (reference.startsWith(QLatin1String("[[")) && reference.endsWith(QLatin1String("]]")))
        reference = reference.mid(2, reference.size() - 4).trimmed();
    return reference;
}

} // namespace

CcDecisionTest::CcDecisionTest(CmDecisionManager& decisions, CmDocument& document, TestModeOptions& options,
                               QObject* parent)
    : QObject(parent), m_decisions(decisions), m_document(document), m_options(options),
      m_compile(decisions, document)
{
    m_compile.setSaveLogFile(false);
    m_itemSelect.setSingleShot(true);
    m_itemSelect.setInterval(0);
    connect(&m_itemSelect, &QTimer::timeout, this, &CcDecisionTest::ItemSelect);
}

CcDecisionTest::~CcDecisionTest()
{
    if (m_runtime)
        m_runtime->engine.registerHost(nullptr);
    removeTestFile();
}

QString CcDecisionTest::TestFileFor(const QString& projectPath)
{
    const QFileInfo project(projectPath);
    return project.dir().filePath(project.completeBaseName() + QLatin1String(".testrun.kvd"));
}

void CcDecisionTest::Run()
{
    ProcedureBoundary::run("CcDecisionTest.Run", [&] {
        if (!m_host)
            return;
        if (m_running)
            StopWizard();
        if (m_document.Path().isEmpty()) {
            m_host->Message(LoadResString(SaveFirstId));
            m_host->SaveProjectAs();
            if (m_document.Path().isEmpty())
                return;
        }
        if (!CopyTestFile())
            return;
        if (m_startAt.isEmpty() && m_options.ShowTestModeDlg && !m_host->TestModeDialog(m_options, ControlNames())) {
            StopWizard();
            return;
        }
        const QString start = m_startAt.isEmpty() ? startControlName() : m_startAt;
        m_host->HideProgressBar();
        m_host->SetStatus(QString());
        // Before the first page, which our runtime shows while it starts.
        m_host->AddLog(LoadResString(LoadingId));
        if (!StartWizard(m_options.StepThrough, start))
            return;
        showDebugWindows(m_options.ShowDecisionValues, m_options.ShowCLValues);
    });
}

void CcDecisionTest::RunFrom(const QString& control)
{
    m_startAt = control;
    Run();
    m_startAt.clear();
}

QStringList CcDecisionTest::ControlNames() const
{
    QStringList names;
    names.reserve(m_decisions.Count());
    for (int index = 1; index <= m_decisions.Count(); ++index)
        names.append(m_decisions.ItemByIndex(index)->strID());
    return names;
}

QString CcDecisionTest::startControlName() const
{
    qint16 number = 0;
    if (m_options.StartFromFirst)
        number = 1;
    else if (m_options.StartFromSelected && m_host)
        number = m_host->SelectedControl();
    if (number == 0)
        return m_options.StartDecision;
    const CmDecisionItem* decision = m_decisions.Item(MDecisionDataUtil::GetDecisionName(number, m_decisions));
    return decision ? decision->strID() : QString();
}

bool CcDecisionTest::CopyTestFile()
{
    return ProcedureBoundary::runOr("CcDecisionTest.CopyTestFile", false, [&] {
        const qint32 fileType = m_document.FileType();
        m_document.setFileType(DesktopFileType);
        // Beside the working copy: beside the project unless its folder cannot be written.
        const QString workingCopy = m_document.WorkingCopyPath();
        const QString testFile = TestFileFor(workingCopy.isEmpty() ? m_document.Path()
                                                                   : QFileInfo(workingCopy).dir().filePath(QFileInfo(m_document.Path()).fileName()));
        const CcCompile::Outcome compiled = m_compile.CompileKvdTo(testFile);
        m_document.setFileType(fileType);
        if (compiled == CcCompile::Outcome::Errors || compiled == CcCompile::Outcome::Failed) {
            if (m_host) {
                const QString log = m_compile.Validation().Log();
                m_host->AddLog(log.isEmpty() ? m_compile.FailureText() : log.trimmed());
                const QStringList external = m_compile.Validation().RefusedExternalSelectors();
                m_host->Message(external.isEmpty()
                                    ? LoadResString(NotTestableId)
                                    : LoadResString(ExternalInBrowserId).arg(external.join(QLatin1String(", "))));
            }
            return false;
        }
        m_testFile = testFile;
        if (m_document.Dirty())
            m_document.SaveFile();
        auto runtime = std::make_unique<Runtime>();
        StorageResult loaded = CompiledTree::readFile(m_testFile, runtime->tree);
        if (loaded)
            loaded = runtime->engine.load(runtime->tree);
        if (!loaded) {
            if (m_host)
                m_host->Message(LoadResString(UnreadableTestFileId).arg(QDir::toNativeSeparators(m_testFile), loaded.message));
            removeTestFile();
            return false;
        }
        if (m_runtime && m_host)
            m_host->CloseRuntimeWindow();
        m_runtime = std::move(runtime);
        m_runtime->engine.registerHost(this);
        return true;
    });
}

bool CcDecisionTest::StartWizard(bool stepThrough, const QString& control)
{
    return ProcedureBoundary::runOr("CcDecisionTest.StartWizard", false, [&] {
        if (!m_runtime) {
            StopWizard();
            return false;
        }
        RuntimeEngine& engine = m_runtime->engine;
        const RuntimeControl* start = engine.findControl(control);
        if (!start) {
            if (m_host)
                m_host->Message(LoadResString(NoStartControlId).arg(control));
            StopWizard();
            return false;
        }
        engine.setMode(stepThrough ? RuntimeEngine::Mode::StepThrough : RuntimeEngine::Mode::Normal);
        m_restart = true;
        m_restartAt = control;
        m_values.clear();
        m_heldValues.clear();
        m_pageShown = false;
        m_noGo = false;
        SetDecision(start->name, engine.value(start->id), Status::Current);
        for (const int displayed : start->displayedIds) {
            if (engine.control(displayed))
                SetDecision(nameOf(displayed), engine.value(displayed), Status::Current);
        }
        engine.pageState().setNextControl(start->id);
        m_viewer = m_host ? m_host->OpenRuntimeWindow(engine, m_runtime->tree) : nullptr;
        engine.window().show();
        setRunning(true);
        engine.start();
        return true;
    });
}

void CcDecisionTest::StopWizard()
{
    ProcedureBoundary::run("CcDecisionTest.StopWizard", [&] {
        m_restart = false;
        m_itemSelect.stop();
        if (m_runtime) {
            m_runtime->engine.registerHost(nullptr);
            m_runtime->engine.stop();
            if (m_host)
                m_host->CloseRuntimeWindow();
            m_viewer = nullptr;
            m_runtime.reset();
        }
        m_heldValues.clear();
        removeTestFile();
        setRunning(false);
        showDebugWindows(false, false);
        if (m_host)
            m_host->AddLog(LoadResString(ClosingId));
    });
}

void CcDecisionTest::HandleEvent(int code, const QStringList& arguments, QString& text)
{
    ProcedureBoundary::run("CcDecisionTest.HandleEvent", [&] {
        switch (code) {
        case RuntimeEvent::PageLeft: pageLeft(); break;
        case RuntimeEvent::PageShown: pageShown(); break;
        case RuntimeEvent::Closed: runClosed(); break;
        case RuntimeEvent::Error: runFailed(arguments.value(0, text)); break;
        case RuntimeEvent::DefinitionRequest: definitionRequested(text); break;
        case RuntimeEvent::ValueRequest: valueRequested(text); break;
        case RuntimeEvent::StartOver:
            if (m_restart && m_runtime)
                StartWizard(m_runtime->engine.mode() == RuntimeEngine::Mode::StepThrough, m_restartAt);
            break;
        case RuntimeEvent::ActionsRun: AddActions(arguments); break;
        default: break;
        }
    });
    // The player shows the page after the runner has had its say (a replaced page, say).
    if (m_viewer)
        m_viewer->HandleEvent(code, arguments, text);
}

void CcDecisionTest::pageLeft()
{
    // The engine's values rather than the "|"-joined text: a multi-selection holds "|" itself.
    for (const int id : std::as_const(m_page)) {
        const QString value = m_runtime->engine.value(id);
        if (!value.isEmpty() && value != QLatin1String("_0"))
            SetDecision(nameOf(id), value, Status::Visited);
    }
    if (m_pageShown)
        m_noGo = true;
}

void CcDecisionTest::pageShown()
{
    RuntimeEngine& engine = m_runtime->engine;
    m_page.clear();
    QStringList names;
    for (const QString& id : engine.pageState().read().split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        m_page.append(id.toInt());
        names.append(nameOf(m_page.last()));
    }
    if (m_host)
        m_host->AddLog(LoadResString(NewPageId) + names.join(QLatin1Char('\t')));
    // Without a !GO the runtime has gone on to the control with the next ID (or, after the last,
    // to its done page); test mode shows the same run and says why.
    if (m_noGo && m_host) {
        m_host->AddLog(LoadResString(NoGoId));
        m_host->AddLog(m_page.isEmpty() ? LoadResString(DefaultDoneId) : LoadResString(NextIdId) + names.first());
    }
    if (engine.mode() == RuntimeEngine::Mode::StepThrough && !m_page.isEmpty() && m_host) {
        if (const CmDecisionItem* first = designerControl(m_page.first()))
            m_host->SelectControl(first->intID());
    }
    for (const int id : std::as_const(m_page))
        markCurrent(id);
    m_pageShown = true;
    m_noGo = false;
    m_itemSelect.start();
}

void CcDecisionTest::markCurrent(int runtimeId)
{
    SetDecision(nameOf(runtimeId), m_runtime->engine.value(runtimeId), Status::Current);
}

void CcDecisionTest::runClosed()
{
    showDebugWindows(false, false);
    m_restart = false;
    m_itemSelect.stop();
    setRunning(false);
    removeTestFile();
}

void CcDecisionTest::runFailed(const QString& text)
{
    // Most of the runtime's messages are whole sentences already; a period ends only those that
    // are not.
    const QString trimmed = text.trimmed();
    const bool ended = trimmed.endsWith(QLatin1Char('.')) || trimmed.endsWith(QLatin1Char('?')) || trimmed.endsWith(QLatin1Char('!'));
    const QString sentence = ended ? trimmed + QLatin1Char(' ') : text + QLatin1String(". ");
    if (m_host)
        m_host->Message(LoadResString(ErrorPrefixId) + sentence + LoadResString(ClosingId));
    showDebugWindows(false, false);
}

void CcDecisionTest::definitionRequested(QString& text)
{
    const QString reference = text.trimmed();
    const QString digits = reference.startsWith(QLatin1Char('_')) ? reference.mid(1) : reference;
    bool numeric = false;
    const int number = digits.toInt(&numeric);
    if (!numeric) {
        if (m_host)
            m_host->Message(LoadResString(InvalidReferenceId) + reference + QLatin1Char('(')
                            + LoadResString(NotANumberId) + QLatin1Char(')'));
        return;
    }
    text = ReplaceReferences(reference, number);
}

QString CcDecisionTest::ReplaceReferences(const QString& reference, int number) const
{
    CmDecisionItem answer;
    if (const CmDecisionItem* known = m_compile.Numbers().byNumber(number)) {
        if (!MDecisionDataUtil::LoadDecision(answer, MDecisionDataUtil::StoreDecision(*known, &m_decisions)))
            return reference;
        answer.setStrID(reference);
    } else {
        answer.setIntControl(MDecisionDataUtil::Done);
        answer.setHeading(LoadResString(EndOfWizardId));
        answer.setStrID(reference + QLatin1Char('_'));
    }
    // The requested number, so that the answer cannot meet a control the runtime holds.
    answer.setIntID(static_cast<qint16>(number));
    return MDecisionDataUtil::StoreDecision(answer, nullptr);
}

void CcDecisionTest::valueRequested(QString& text)
{
    const QString name = bareName(text);
    if (name.isEmpty())
        return;
    const QString key = name.toCaseFolded();
    const auto held = m_heldValues.constFind(key);
    if (held != m_heldValues.cend()) {
        text = *held;
        return;
    }
    CmDecisionItem* control = m_decisions.Item(name);
    if (!control)
        return;
    if (!m_options.PromptUserForValue) {
        text = MDecisionDataUtil::GetDefault(*control);
        return;
    }
    // A control of the page, or one a control of the page displays, is answered on the page.
    for (const int id : std::as_const(m_page)) {
        const RuntimeControl* shown = m_runtime->engine.control(id);
        if (!shown)
            continue;
        if (shown->name.compare(name, Qt::CaseInsensitive) == 0)
            return;
        for (const int displayed : shown->displayedIds) {
            if (nameOf(displayed).compare(name, Qt::CaseInsensitive) == 0)
                return;
        }
    }
    const std::optional<QString> value = m_host ? m_host->AskValue(*control) : std::nullopt;
    if (!value)
        return;
    text = *value;
    m_heldValues.insert(key, *value);
    SetDecision(control->strID(), *value, Status::Referenced);
}

void CcDecisionTest::AddActions(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (m_host)
            m_host->AddLog(line + QLatin1Char('\t'));
        const QString keyword = keywordOf(line);
        const QString argument = argumentOf(line);
        if (keyword == QLatin1String("!GO")) {
            m_pageShown = false;
            m_noGo = false;
            const QString target = bareName(argument);
            const RuntimeControl* control = m_runtime ? m_runtime->engine.findControl(target) : nullptr;
            if (!control && !m_decisions.Item(target) && m_host) {
                m_host->AddLog(LoadResString(CannotGoId) + target + QLatin1String(". ") + LoadResString(NoSuchControlId));
            } else if (control && m_host && control->needsOptions() && control->options.isEmpty()) {
                m_host->AddLog(target + LoadResString(NoOptionsId));
                m_host->AddLog(target + LoadResString(SkippedId));
            }
        } else if (keyword == QLatin1String("!SET") || keyword == QLatin1String("!DEFAULT")) {
            const qsizetype equals = argument.indexOf(QLatin1Char('='));
            if (equals > 0) {
                const QString value = argument.mid(equals + 1).trimmed();
                SetDecision(bareName(argument.left(equals)), value, Status::Set);
            }
        }
    }
}

void CcDecisionTest::ItemSelect()
{
    if (!m_runtime || m_page.isEmpty())
        return;
    emit currentControlChanged(nameOf(m_page.first()));
    m_runtime->engine.window().show();
}

void CcDecisionTest::SetDecision(const QString& control, const QString& value, Status status)
{
    if (!control.isEmpty())
        m_values.setRow(control, value, status);
}

void CcDecisionTest::ShowDecisionValues()
{
    showDebugWindows(true, m_clValuesShown);
}

void CcDecisionTest::HideDecisionValues()
{
    showDebugWindows(false, m_clValuesShown);
}

void CcDecisionTest::ShowCLValues()
{
    showDebugWindows(m_decisionValuesShown, true);
}

void CcDecisionTest::HideCLValues()
{
    showDebugWindows(m_decisionValuesShown, false);
}

void CcDecisionTest::showDebugWindows(bool decisionValues, bool selectorValues)
{
    m_decisionValuesShown = decisionValues;
    m_clValuesShown = selectorValues;
    if (m_host)
        m_host->ShowDebugWindows(decisionValues, selectorValues);
}

void CcDecisionTest::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    if (m_host)
        m_host->RunningChanged(running);
    emit runningChanged(running);
}

void CcDecisionTest::removeTestFile()
{
    if (!m_testFile.isEmpty())
        QFile::remove(m_testFile);
    m_testFile.clear();
}

QString CcDecisionTest::nameOf(int runtimeId) const
{
    const RuntimeControl* control = m_runtime ? m_runtime->engine.control(runtimeId) : nullptr;
    return control ? control->name : QString();
}

CmDecisionItem* CcDecisionTest::designerControl(int runtimeId) const
{
    const QString name = nameOf(runtimeId);
    return name.isEmpty() ? nullptr : m_decisions.Item(name);
}
