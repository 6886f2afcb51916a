#include "views/PreviewServer.h"

#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "compile/CcCompile.h"
#include "model/CmDocument.h"
#include "model/KvwSettings.h"
#include "project/Project.h"
#include "validate/CcValidation.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {
constexpr int TitleId = 38008;
constexpr int HasErrorsId = 38009;
constexpr int CompileFailedId = 38010;
constexpr int ProgramMissingId = 38011;
constexpr int ServerStoppedId = 38012;
constexpr int BrowserFailedId = 38013;
constexpr int TimedOutId = 38015;
constexpr int NoFolderId = 38016;
constexpr int StopMilliseconds = 5000;
// The server's log is kept only until it says it listens; enough for its start-up messages.
constexpr qsizetype KeptOutput = 64 * 1024;

struct WebCompile {
    bool ok = false;
    QString message;
};

// Compiles the open project as it stands in memory, unsaved changes included, to a web tree file
// (its pictures beside it). Kept apart by name: the one core function that compiles the open
// project will take its place.
WebCompile compileOpenProjectToWebFile(Project& project, const QString& path)
{
    CcCompile compiler(project.Decisions(), project.Document());
    compiler.setSaveLogFile(false);
    switch (compiler.CompileKvwTo(path)) {
    case CcCompile::Outcome::Failed:
        return {false, LoadResString(CompileFailedId).arg(compiler.FailureText())};
    case CcCompile::Outcome::Errors:
        return {false, LoadResString(HasErrorsId).arg(compiler.Validation().Log().trimmed())};
    case CcCompile::Outcome::Compiled:
    case CcCompile::Outcome::Warnings:
        break;
    }
    return {true, {}};
}

// The server reads a template relative to the tree file, so one named relative to the project
// goes to the same place beside the tree; one that would land outside the folder is left, and
// the server says it cannot read it.
void copyTemplate(const CmDocument& document, const QDir& folder)
{
    const QString name = QDir::fromNativeSeparators(QString(document.WebSettings().Template.trimmed()).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (name.isEmpty() || QDir::isAbsolutePath(name) || document.Name().isEmpty())
        return;
    const QString source = QFileInfo(QFileInfo(document.Name()).dir(), name).absoluteFilePath();
    const QString target = QDir::cleanPath(folder.filePath(name));
    if (!target.startsWith(folder.absolutePath() + QLatin1Char('/')) || !QFileInfo(source).isFile())
        return;
    folder.mkpath(QFileInfo(target).absolutePath());
    QFile::copy(source, target);
}

int freeLocalPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// A key of its own for each preview: its runs need not outlive it.
bool writeSecret(const QString& path)
{
    QByteArray key(32, Qt::Uninitialized);
    QRandomGenerator::system()->generate(key.begin(), key.end());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(key.toHex()) == 64;
}
} // namespace

PreviewServer::PreviewServer(Project& project, IPrompt& prompt, QObject* parent)
    : QObject(parent), m_project(project), m_prompt(prompt)
{
    m_startTimer.setSingleShot(true);
    connect(&m_startTimer, &QTimer::timeout, this, [this] {
        const QString output = QString::fromUtf8(m_output).trimmed();
        stop();
        fail(LoadResString(TimedOutId).arg(StartSeconds).arg(output));
        emit ended();
    });
}

PreviewServer::~PreviewServer()
{
    stop();
}

QString PreviewServer::serverProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {here.filePath(QStringLiteral("kestrova")), here.filePath(QStringLiteral("../cli/kestrova"))}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.canonicalFilePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("kestrova"));
}

bool PreviewServer::start()
{
    stop();
    const QString program = m_program.isEmpty() ? serverProgram() : m_program;
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) {
        fail(LoadResString(ProgramMissingId).arg(program.isEmpty() ? QStringLiteral("kestrova") : program));
        return false;
    }
    auto folder = std::make_unique<QTemporaryDir>(QDir(QDir::tempPath()).filePath(QStringLiteral("kestrova-preview-XXXXXX")));
    if (!folder->isValid()) {
        fail(LoadResString(NoFolderId).arg(folder->errorString()));
        return false;
    }
    const QDir dir(folder->path());
    QString name = QFileInfo(m_project.Document().Name()).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("preview");
    const QString tree = dir.filePath(name + QStringLiteral(".kvw"));
    const WebCompile compiled = compileOpenProjectToWebFile(m_project, tree);
    if (!compiled.ok) {
        fail(compiled.message);
        return false;
    }
    copyTemplate(m_project.Document(), dir);
    const QString secret = dir.filePath(QStringLiteral("secret"));
    const int port = freeLocalPort();
    if (!writeSecret(secret) || port == 0) {
        fail(LoadResString(NoFolderId).arg(dir.path()));
        return false;
    }

    m_folder = std::move(folder);
    m_listening = QStringLiteral("http://127.0.0.1:%1/").arg(port).toUtf8();
    m_treeAddress = QUrl(QString::fromUtf8(m_listening) + QString::fromLatin1(QUrl::toPercentEncoding(name)) + QLatin1Char('/'));
    m_server = std::make_unique<QProcess>();
    m_server->setProgram(program);
    m_server->setArguments({QStringLiteral("serve"), tree, QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("--images"),
                            dir.path(), QStringLiteral("--secret-file"), secret, QStringLiteral("--results"),
                            QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("results.sqlite"))});
    // A web tree holds no external selector's settings: the server takes them from the saved
    // project, so the preview reads the same tables a server would.
    if (const QString saved = m_project.Document().Path(); !saved.isEmpty() && QFileInfo::exists(saved))
        m_server->setArguments(m_server->arguments() << QStringLiteral("--external-settings") << saved);
    m_server->setStandardOutputFile(QProcess::nullDevice());
    connect(m_server.get(), &QProcess::readyReadStandardError, this, &PreviewServer::readServerOutput);
    connect(m_server.get(), &QProcess::finished, this, &PreviewServer::serverFinished);
    connect(m_server.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            serverFinished();
    });
    m_server->start();
    m_startTimer.start(StartSeconds * 1000);
    return true;
}

void PreviewServer::stop()
{
    m_startTimer.stop();
    if (m_server) {
        disconnect(m_server.get(), nullptr, this, nullptr);
        if (m_server->state() != QProcess::NotRunning) {
            m_server->terminate();
            if (!m_server->waitForFinished(StopMilliseconds)) {
                m_server->kill();
                m_server->waitForFinished(StopMilliseconds);
            }
        }
        m_server.reset();
    }
    m_folder.reset();
    m_output.clear();
    m_address.clear();
}

void PreviewServer::readServerOutput()
{
    const QByteArray more = m_server->readAllStandardError();
    if (!m_address.isEmpty())
        return; // the request log: nobody reads it here
    m_output += more;
    if (m_output.size() > KeptOutput)
        m_output = m_output.right(KeptOutput);
    if (!m_output.contains(m_listening))
        return;
    m_startTimer.stop();
    m_address = m_treeAddress;
    const bool opened = m_browser ? m_browser(m_address) : QDesktopServices::openUrl(m_address);
    if (!opened)
        fail(LoadResString(BrowserFailedId).arg(m_address.toString()));
    emit ready(m_address);
}

void PreviewServer::serverFinished()
{
    // Said before the process goes, while its output can still be read.
    m_output += m_server->readAllStandardError();
    QString reason = QString::fromUtf8(m_output).trimmed();
    if (reason.isEmpty())
        reason = m_server->errorString();
    m_startTimer.stop();
    disconnect(m_server.get(), nullptr, this, nullptr);
    // Not deleted inside its own signal.
    m_server.release()->deleteLater();
    m_folder.reset();
    m_output.clear();
    m_address.clear();
    fail(LoadResString(ServerStoppedId).arg(reason));
    emit ended();
}

void PreviewServer::fail(const QString& text)
{
    m_prompt.MessageBox(text, LoadResString(TitleId), PromptButtons::Ok, PromptIcon::Critical);
}
