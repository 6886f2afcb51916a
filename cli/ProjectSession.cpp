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

#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr int ControlsCorruptId = 12011;
constexpr int MissingFileId = 32034;
constexpr int FileInUseId = 31102;
constexpr int NotSavedId = 31104;
} // namespace

ProjectSession::ProjectSession(QTextStream& err) : m_err(err), m_prompt(err)
{
    StartUpTables::Fill();
    gApp = std::make_unique<CApplication>(m_prompt, m_windows);
    gApp->Controller().Init();
    gApp->Model().Init();
}

ProjectSession::~ProjectSession()
{
    gApp.reset();
}

bool ProjectSession::Inspect(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        m_err << LoadResString(MissingFileId).arg(path) << '\n';
        return false;
    }
    const CmDocument::Result opened = gApp->Model().Document().InspectDocument(path);
    if (!opened.done()) {
        m_err << LoadResString(opened.storage.kind == StorageErrorKind::InUse ? StringId::ProjectInUse : StringId::ProjectCorrupt) << '\n';
        return false;
    }
    if (!gApp->LoadDevData()) {
        m_err << LoadResString(ControlsCorruptId) << '\n';
        return false;
    }
    gApp->Controller().File().LoadProjectExplorer();
    return true;
}

bool ProjectSession::Open(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        m_err << LoadResString(MissingFileId).arg(path) << '\n';
        return false;
    }
    CmDocument& document = gApp->Model().Document();
    const CmDocument::Result opened = document.OpenDocument(path);
    if (!opened.done()) {
        m_err << LoadResString(opened.storage.kind == StorageErrorKind::InUse ? StringId::ProjectInUse : StringId::ProjectCorrupt) << '\n';
        return false;
    }
    if (!gApp->LoadDevData()) {
        m_err << LoadResString(ControlsCorruptId) << '\n';
        return false;
    }
    DiagramStore::Load(document.Storage(), gApp->Controller().DiagramView().Canvas(), gApp->Model().Decisions());
    document.setDirty(false);
    return true;
}

bool ProjectSession::Save()
{
    CmDocument& document = gApp->Model().Document();
    const CmDocument::Result saved = document.SaveFile();
    if (saved.done())
        return true;
    const QString path = document.Path();
    if (saved.storage.kind == StorageErrorKind::InUse)
        m_err << LoadResString(FileInUseId).arg(path) << '\n';
    else
        m_err << LoadResString(NotSavedId).arg(path, saved.storage.message) << '\n';
    return false;
}

bool ProjectSession::SaveAs(const QString& path)
{
    const CmDocument::Result saved = gApp->Model().Document().SaveFileAs(path);
    if (saved.done())
        return true;
    if (saved.storage.kind == StorageErrorKind::InUse)
        m_err << LoadResString(FileInUseId).arg(path) << '\n';
    else
        m_err << LoadResString(NotSavedId).arg(path, saved.storage.message) << '\n';
    return false;
}
