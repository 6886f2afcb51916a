#include "cli/ProjectSession.h"

#include "project/Project.h"

#include "edit/CanvasModel.h"
#include "model/CmDecisionManager.h"
#include "base/StringId.h"
#include "base/ResourceStrings.h"
#include "base/StartUpTables.h"
#include "model/CmDocument.h"
#include "persist/FileBytes.h"

#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr int FileInUseId = 31102;
constexpr int NotSavedId = 31104;

constexpr int DesignerControlsCorruptId = 12011;
constexpr int ControlsUnreadableId = 33226;

// The storage's messages name the file and say why (in use, newer, damaged, refused); only the
// Designer's own words, which ask to close it and name no file, are said anew.
QString openFailure(const StorageResult& result, const QString& path)
{
    if (result.message.isEmpty() || result.message == LoadResString(DesignerControlsCorruptId))
        return LoadResString(ControlsUnreadableId).arg(QFileInfo(path).absoluteFilePath());
    return result.message;
}
} // namespace

ProjectSession::ProjectSession(QTextStream& err)
    : m_err(err), m_prompt(err),
      m_errorLogHook({[this](const QString& text) { m_errorLog.Append(text); }, [this] { return m_errorLog.Value(); }})
{
    StartUpTables::Fill();
    m_project = std::make_unique<Project>(m_prompt);
    m_project->Document().setKeepsWorkingCopy(false);
}

ProjectSession::~ProjectSession() = default;

bool ProjectSession::Inspect(const QString& path, Project::Diagram diagram)
{
    if (!readable(path))
        return false;
    const StorageResult read = m_project->Inspect(path, diagram);
    if (!read)
        m_err << openFailure(read, path) << '\n';
    return read.ok();
}

bool ProjectSession::Open(const QString& path)
{
    if (!readable(path))
        return false;
    const StorageResult read = m_project->Open(path);
    if (!read)
        m_err << openFailure(read, path) << '\n';
    return read.ok();
}

bool ProjectSession::readable(const QString& path)
{
    const StorageResult checked = FileBytes::checkInput(path);
    if (!checked)
        m_err << checked.message << '\n';
    return checked.ok();
}

bool ProjectSession::Save()
{
    CmDocument& document = m_project->Document();
    return reportSave(m_project->Save(), document.Path());
}

bool ProjectSession::SaveAs(const QString& path, const QStringList& inputs)
{
    return reportSave(m_project->SaveAs(path, inputs), path);
}

bool ProjectSession::reportSave(const CmDocument::Result& saved, const QString& path)
{
    if (saved.done())
        return true;
    // The storage's messages name the file and say why; only a file in use is said anew.
    if (saved.storage.kind == StorageErrorKind::InUse)
        m_err << LoadResString(FileInUseId).arg(path) << '\n';
    else if (!saved.storage.message.isEmpty())
        m_err << saved.storage.message << '\n';
    else
        m_err << LoadResString(NotSavedId).arg(path, QString()) << '\n';
    return false;
}

CmDecisionManager& ProjectSession::Decisions() const { return m_project->Decisions(); }
CmDocument& ProjectSession::Document() const { return m_project->Document(); }
CanvasModel& ProjectSession::Canvas() const { return m_project->Canvas(); }
CvProject& ProjectSession::Explorer() const { return m_project->Explorer(); }
CcDecisionTree& ProjectSession::Tree() const { return m_project->Tree(); }
