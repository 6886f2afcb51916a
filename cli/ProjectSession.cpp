#include "cli/ProjectSession.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CModel.h"
#include "app/CcFile.h"
#include "base/StringId.h"
#include "base/ResourceStrings.h"
#include "base/StartUpTables.h"
#include "edit/CvDecisionTree.h"
#include "edit/DiagramStore.h"
#include "model/CmDocument.h"
#include "persist/FileBytes.h"

#include <QTextStream>

namespace {
constexpr int ControlsCorruptId = 12011;
constexpr int FileInUseId = 31102;
constexpr int NotSavedId = 31104;

// The product's own two messages where they are true; the storage's message otherwise (a
// file that cannot be read, a folder, a content that does not match its checksum).
QString openFailure(const StorageResult& result)
{
    switch (result.kind) {
    case StorageErrorKind::InUse:
        return LoadResString(StringId::ProjectInUse);
    case StorageErrorKind::Corrupt:
        return LoadResString(StringId::ProjectCorrupt);
    default:
        return result.message;
    }
}
} // namespace

ProjectSession::ProjectSession(QTextStream& err) : m_err(err), m_prompt(err)
{
    StartUpTables::Fill();
    gApp = std::make_unique<CApplication>(m_prompt, m_windows);
    gApp->Controller().Init();
    gApp->Model().Init();
    gApp->Model().Document().setKeepsWorkingCopy(false);
}

ProjectSession::~ProjectSession()
{
    gApp.reset();
}

bool ProjectSession::Inspect(const QString& path)
{
    if (!readable(path))
        return false;
    const CmDocument::Result opened = gApp->Model().Document().InspectDocument(path);
    if (!opened.done()) {
        m_err << openFailure(opened.storage) << '\n';
        return false;
    }
    if (!loadModel())
        return false;
    gApp->Controller().File().LoadProjectExplorer();
    return true;
}

bool ProjectSession::Open(const QString& path)
{
    if (!readable(path))
        return false;
    CmDocument& document = gApp->Model().Document();
    const CmDocument::Result opened = document.OpenDocument(path);
    if (!opened.done()) {
        m_err << openFailure(opened.storage) << '\n';
        return false;
    }
    if (!loadModel())
        return false;
    DiagramStore::Load(document.Storage(), gApp->Controller().DiagramView().Canvas(), gApp->Model().Decisions());
    document.setDirty(false);
    return true;
}

bool ProjectSession::readable(const QString& path)
{
    const StorageResult checked = FileBytes::checkInput(path);
    if (!checked)
        m_err << checked.message << '\n';
    return checked.ok();
}

bool ProjectSession::loadModel()
{
    const StorageResult loaded = gApp->LoadDevData();
    if (loaded)
        return true;
    m_err << (loaded.kind == StorageErrorKind::Refused ? loaded.message : LoadResString(ControlsCorruptId)) << '\n';
    return false;
}

bool ProjectSession::Save()
{
    CmDocument& document = gApp->Model().Document();
    return reportSave(document.SaveFile(), document.Path());
}

bool ProjectSession::SaveAs(const QString& path, const QStringList& inputs)
{
    return reportSave(gApp->Model().Document().SaveFileAs(path, inputs), path);
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
