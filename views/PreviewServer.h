#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class IPrompt;
class Project;
class QProcess;
class QTemporaryDir;

// The open project served for a browser on this computer: compiled for the web into a folder of
// its own (unsaved changes included), served there by `kestrova serve` on a free local port, and
// opened in the desktop's browser once the server says it listens. Stopping, or destroying it,
// ends the server and removes the folder. Every failure is said through the prompt.
class PreviewServer final : public QObject {
    Q_OBJECT
public:
    // Opens an address in a browser; true when it could.
    using Browser = std::function<bool(const QUrl&)>;

    // The project must outlive the server.
    PreviewServer(Project& project, IPrompt& prompt, QObject* parent = nullptr);
    ~PreviewServer() override;
    PreviewServer(const PreviewServer&) = delete;
    PreviewServer& operator=(const PreviewServer&) = delete;

    // Another way to open the browser than the desktop's (a test's).
    void setBrowser(Browser browser) { m_browser = std::move(browser); }
    // The program run as the server; empty finds it (see serverProgram()).
    void setServerProgram(const QString& program) { m_program = program; }

    // Stops any preview, compiles the project and starts the server; false, after saying why,
    // when it cannot. The browser is opened later, when the server is ready.
    bool start();
    void stop();
    bool isRunning() const { return m_server != nullptr; }
    // The tree's address once the server listens; empty before.
    const QUrl& address() const { return m_address; }

    // `kestrova` beside the Designer, in the build tree's cli folder, or on the PATH; empty when
    // none is found.
    static QString serverProgram();

    // How long the server may take to say it listens.
    static constexpr int StartSeconds = 20;

signals:
    // The server listens at the address and the browser was asked to open it.
    void ready(const QUrl& address);
    // The server ended without being stopped (the reason is said through the prompt).
    void ended();

private:
    void readServerOutput();
    void serverFinished();
    void fail(const QString& text);

    Project& m_project;
    IPrompt& m_prompt;
    Browser m_browser;
    QString m_program;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QProcess> m_server;
    QTimer m_startTimer;
    QByteArray m_output;
    QByteArray m_listening; // what the server prints once it listens
    QUrl m_treeAddress;     // the tree's address, known before the server listens
    QUrl m_address;
};
