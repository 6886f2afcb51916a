#include "compile/CcCompile.h"

#include "base/ErrorLog.h"
#include "base/IPrompt.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "compile/KvdTreeWriter.h"
#include "compile/KvwNotation.h"
#include "compile/KvwTreeWriter.h"
#include "compile/PictureExport.h"
#include "compile/SharedCompilePass.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/FileBytes.h"
#include "persist/StorageDocument.h"
#include "validate/CcValidation.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

constexpr int SaveFileTitleId = 12000;
constexpr int CompileToTitleId = 12004;
constexpr int WebFilterId = 12024;
constexpr int DesktopFilterId = 12025;
constexpr int ErrorTitleId = 12500;
constexpr int ErrorTextId = 12501;
constexpr int WarningTextId = 12512;
constexpr int CompleteTitleId = 12513;
constexpr int CompilingDesktopId = 14009;
constexpr int CompiledId = 14019;
constexpr int CompiledWithWarningsId = 14020;
constexpr int CompileIncompleteId = 14021;
constexpr int CompilingWebId = 32400;
constexpr int PictureNotExportedId = 32413;
constexpr int PictureRenamedId = 32416;
constexpr int NotWrittenId = 32414;
constexpr int LogTitleId = 32415;
constexpr int PictureLabelId = 11005;

QString withExtension(const QString& path, const QString& extension)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + extension : path;
}

} // namespace

CcCompile::CcCompile(CmDecisionManager& decisions, CmDocument& document, QObject* parent)
    : QObject(parent),
      m_decisions(decisions),
      m_document(document),
      m_validation(std::make_unique<CcValidation>(decisions, document))
{
    connect(m_validation.get(), &CcValidation::statusChanged, this, [this](const QString& text) { status(text, false); });
    connect(m_validation.get(), &CcValidation::progressChanged, this, &CcCompile::progress);
}

CcCompile::~CcCompile() = default;

KvwCompileSettings CcCompile::WebSettings() const
{
    const KvwSettings& stored = m_document.WebSettings();
    return {stored.HostUrl, stored.EarlyFinish, stored.AutoDetermineURL, stored.Template, m_imagePath};
}

void CcCompile::setWebSettings(const KvwCompileSettings& settings)
{
    KvwSettings& stored = m_document.WebSettings();
    const KvwSettings before = stored;
    stored.HostUrl = settings.HostURL;
    stored.EarlyFinish = settings.EarlyFinish;
    stored.AutoDetermineURL = settings.AutoDetermineURL;
    stored.Template = settings.Template;
    m_imagePath = settings.ImagePath;
    if (!(before == stored))
        m_document.setDirty(true);
}

QString CcCompile::DefaultKvwName(const QString& documentName)
{
    QString name = documentName;
    name.remove(QLatin1Char(' '));
    if (name.contains(QLatin1Char('.')) && name.size() > 4)
        name.chop(4);
    return name;
}

QString CcCompile::CreateCallingAppKey(const QString& documentName)
{
    return KvdTreeWriter::CreateCallingAppKey(documentName);
}

void CcCompile::setTarget(bool web)
{
    m_compilingKVW = web;
    m_compilingKVD = !web;
    m_validation->setCompileKVW(web);
    m_validation->setCompileKVD(!web);
}

void CcCompile::status(const QString& text, bool alsoLog)
{
    if (!m_host)
        return;
    m_host->SetStatus(text);
    if (alsoLog)
        m_host->AddLog(text);
}

void CcCompile::progress(int percent)
{
    if (m_host)
        m_host->SetProgress(percent);
}

void CcCompile::saveLog()
{
    const StorageResult saved = m_validation->SaveLog();
    if (!m_host)
        return;
    if (!saved) {
        m_host->AddLog(saved.message);
        return;
    }
    const QString log = m_validation->Log();
    if (log.isEmpty())
        return;
    // The log lines end in CR LF already; the log window adds its own.
    m_host->AddLog(log.endsWith(QLatin1String("\r\n")) ? log.chopped(2) : log);
    m_host->ShowLog();
}

void CcCompile::cleanUp()
{
    m_compilingKVW = false;
    m_compilingKVD = false;
    m_compiledFile.clear();
    if (m_host) {
        m_host->SetStatus(QString());
        m_host->HideProgressBar();
    }
}

void CcCompile::fail(const QString& text)
{
    m_error = true;
    m_failure = text;
    m_validation->Clear();
    if (m_host)
        m_host->AddLog(text);
    if (m_prompt)
        m_prompt->MessageBox(text, LoadResString(ErrorTitleId), PromptButtons::Ok, PromptIcon::Critical);
}

CcCompile::Outcome CcCompile::outcome() const
{
    if (m_error)
        return Outcome::Errors;
    return m_warning ? Outcome::Warnings : Outcome::Compiled;
}

bool CcCompile::CompileIntoThisFile(const QString& fileName)
{
    m_error = false;
    m_warning = false;
    m_failure.clear();
    QString failure;
    const bool done = ProcedureBoundary::runOr("CcCompile.CompileIntoThisFile", false, [&] {
        m_validation->Clear();
        m_validation->Validate();
        if (m_saveLogFile)
            saveLog();
        m_error = m_validation->Error();
        m_warning = m_validation->Warning();
        m_numbers.build(m_decisions);
        if (!m_compilingKVD || m_error)
            return true;
        StorageDocument target;
        StorageResult written = SharedCompilePass::BuildDesktopTree(m_decisions, m_document, m_numbers, target);
        if (written) {
            target.setFailAfterBytesForTest(m_failAfterBytes);
            written = target.saveAs(fileName, m_document.OpenFiles());
        }
        target.close();
        if (!written)
            failure = written.message;
        return written.ok();
    });
    if (!done)
        fail(LoadResString(NotWrittenId) + (failure.isEmpty() ? fileName : failure));
    return done;
}

CcCompile::Outcome CcCompile::CompileKvdTo(const QString& path)
{
    setTarget(false);
    m_compiledFile = path;
    const bool done = CompileIntoThisFile(path);
    const Outcome result = done ? outcome() : Outcome::Failed;
    m_compilingKVD = false;
    m_compiledFile.clear();
    return result;
}

CcCompile::Outcome CcCompile::CompileKvwTo(const QString& path)
{
    setTarget(true);
    m_compiledFile = path;
    Outcome result = Outcome::Failed;
    if (CompileIntoThisFile(path)) {
        status(LoadResString(CompilingWebId), false);
        if (writeKvw(path))
            result = outcome();
    }
    m_compilingKVW = false;
    m_compiledFile.clear();
    return result;
}

QString CcCompile::wizardTitle() const
{
    QString title;
    m_document.Storage().properties().value(QStringLiteral("Title"), title);
    return title.isEmpty() ? m_document.Name() : title;
}

bool CcCompile::writeKvw(const QString& path)
{
    QString failure;
    const bool written = ProcedureBoundary::runOr("CcCompile.CompileToKVW", false, [&] {
        KvwNotation notation(m_decisions, m_numbers);
        notation.setCompilingKVW(true);
        notation.setCompilingKVD(false);
        const KvwTreeWriter writer(m_numbers, notation);
        const KvwCompileSettings settings = WebSettings();
        const KvwFileSettings file{path, settings.EarlyFinish, wizardTitle(), settings.Template, settings.ImagePath};
        const QByteArray text = writer.Write(file, m_document.Storage().rootNode(), [this](int percent) { progress(percent); });
        FileBytes::WriteOptions options;
        options.inputs = m_document.OpenFiles();
        // Refused before the pictures go beside a file that will not be written.
        StorageResult out = FileBytes::checkOutput(path, options.inputs);
        if (out) {
            exportPictures(QFileInfo(path).absolutePath(), writer);
            out = FileBytes::write(path, text, options);
        }
        failure = out.message;
        return out.ok();
    });
    if (!written)
        fail(LoadResString(NotWrittenId) + (failure.isEmpty() ? path : failure));
    return written;
}

void CcCompile::exportPictures(const QString& folder, const KvwTreeWriter& writer)
{
    QSet<QString> exported;
    const PictureStore pictures = m_document.Storage().pictures();
    const QDir target(folder);
    for (const CmDecisionItem* decision : m_numbers.decisions()) {
        const QString& picture = decision->Picture();
        if (picture.isEmpty() || exported.contains(picture.toUpper()))
            continue;
        exported.insert(picture.toUpper());
        // The tree refers to the file the writer named, which differs from the cleaned name
        // only when another picture cleans to the same one.
        const QString file = writer.PictureFile(picture) + QLatin1String(".jpg");
        const QString location = decision->strID() + QLatin1Char('.') + LoadResString(PictureLabelId);
        const StorageResult written =
            PictureExport::ExportTo(pictures, picture, target.filePath(file), m_document.OpenFiles(), FileBytes::Name::Own);
        if (!written) {
            m_validation->AppendToLog(false, LoadResString(PictureNotExportedId) + picture, location, written.message);
            m_warning = true;
        } else if (writer.PictureFile(picture) != KvwTreeWriter::PictureFileName(picture)) {
            m_validation->AppendToLog(false, LoadResString(PictureRenamedId).arg(picture, file), location);
            m_warning = true;
        }
    }
}

QString CcCompile::askForPath(int titleId, int filterId, const QString& suggested, const QString& extension)
{
    if (!m_prompt)
        return QString();
    const std::optional<QString> picked = m_prompt->SaveFileDialog(LoadResString(titleId), LoadResString(filterId), suggested);
    if (!picked || picked->isEmpty())
        return QString();
    m_document.setCurrentPath(QFileInfo(*picked).absolutePath());
    return withExtension(*picked, extension);
}

void CcCompile::report(const QString& path)
{
    if (m_failure.size() > 0)
        return;
    int logId = CompiledId;
    if (m_error) {
        logId = CompileIncompleteId;
        QString text = LoadResString(ErrorTextId);
        if (!path.isEmpty())
            text += QLatin1Char(' ') + path;
        if (m_prompt)
            m_prompt->MessageBox(text, LoadResString(ErrorTitleId), PromptButtons::Ok, PromptIcon::Critical);
    } else if (m_warning) {
        logId = CompiledWithWarningsId;
        if (m_prompt)
            m_prompt->MessageBox(LoadResString(WarningTextId), LoadResString(CompleteTitleId), PromptButtons::Ok,
                                 PromptIcon::Exclamation);
    } else if (m_prompt) {
        m_prompt->MessageBox(LoadResString(CompiledId), LoadResString(CompleteTitleId), PromptButtons::Ok,
                             PromptIcon::Information);
    }
    if (m_host)
        m_host->AddLog(LoadResString(logId));
}

void CcCompile::CompileToKVD()
{
    ProcedureBoundary::run("CcCompile.CompileToKVD", [&] {
        if (m_document.Dirty() || m_document.Path().isEmpty()) {
            if (!m_document.SaveFile().done())
                return;
        }
        const QFileInfo project(m_document.Path());
        const QString proposal = project.dir().filePath(project.fileName().chopped(std::min<qsizetype>(4, project.fileName().size())) + QLatin1String(".kvd"));
        const QString target = askForPath(SaveFileTitleId, DesktopFilterId, proposal, QStringLiteral("kvd"));
        if (target.isEmpty())
            return;
        status(LoadResString(CompilingDesktopId), true);
        CompileKvdTo(target);
        report(QString());
    });
    cleanUp();
}

void CcCompile::CompileToKVW()
{
    ProcedureBoundary::run("CcCompile.CompileToKVW", [&] {
        QStringList pictures;
        m_document.Storage().pictures().names(pictures);
        if (!pictures.isEmpty() && m_imagePath.isEmpty())
            ShowWebSettings();
        const QString folder = m_document.CurrentPath().isEmpty() ? QFileInfo(m_document.Path()).absolutePath()
                                                                  : m_document.CurrentPath();
        const QString suggested = QDir(folder).filePath(DefaultKvwName(m_document.Name()));
        const QString target = askForPath(CompileToTitleId, WebFilterId, suggested, QStringLiteral("kvw"));
        if (target.isEmpty())
            return;
        status(LoadResString(CompilingWebId), true);
        if (CompileKvwTo(target) != Outcome::Failed)
            report(target);
    });
    cleanUp();
}

void CcCompile::ShowWebSettings()
{
    if (!m_host)
        return;
    KvwCompileSettings settings = WebSettings();
    const QString folder = QFileInfo(m_document.Path()).absolutePath();
    if (m_host->WebSettingsDialog(settings, folder)) {
        setWebSettings(settings);
        m_document.setDirty(true);
    }
}

void CcCompile::ShowDesktopMode()
{
    if (!m_host)
        return;
    const std::optional<qint32> chosen = m_host->DesktopModeDialog(m_document.FileType());
    if (chosen && *chosen != m_document.FileType()) {
        m_document.setFileType(*chosen);
        m_document.setDirty(true);
    }
}

void CcCompile::ViewLog()
{
    if (m_host)
        m_host->ViewText(LoadResString(LogTitleId), m_validation->Log());
}
