#pragma once

#include "compile/ICompileHost.h"
#include "compile/NewIntIdTable.h"

#include <QObject>
#include <QString>

#include <memory>

class CcValidation;
class CmDecisionManager;
class CmDocument;
class IPrompt;
class KvwTreeWriter;

// The compilers: the desktop tree file (.kvd) and the web tree file (.kvw), both after the
// shared compile pass (validation and numbering). The web settings live in the document
// (KvwSettings) and travel with the project; the image path is the user's setting.
class CcCompile : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Compiled, Warnings, Errors, Failed };

    // Both must outlive the compiler.
    CcCompile(CmDecisionManager& decisions, CmDocument& document, QObject* parent = nullptr);
    ~CcCompile() override;
    CcCompile(const CcCompile&) = delete;
    CcCompile& operator=(const CcCompile&) = delete;

    // Who answers the message boxes and save dialogs, and who shows status, log and dialogs;
    // without them nothing is asked or shown.
    void setPrompt(IPrompt* prompt) { m_prompt = prompt; }
    void setHost(ICompileHost* host) { m_host = host; }

    // The web settings (kept in the document) with the image path.
    KvwCompileSettings WebSettings() const;
    // Stores them; the document has unsaved changes when they differ.
    void setWebSettings(const KvwCompileSettings& settings);
    const QString& ImagePath() const { return m_imagePath; }
    void setImagePath(const QString& path) { m_imagePath = path; }
    bool AutoSpellCheck() const { return m_autoSpellCheck; }
    void setAutoSpellCheck(bool on) { m_autoSpellCheck = on; }
    // Whether the shared pass saves the validation log beside the project (the command line
    // prints it instead).
    void setSaveLogFile(bool save) { m_saveLogFile = save; }

    // Tool 1320: asks for the file, compiles and reports in a message box and the log.
    void CompileToKVD();
    // Tool 1321.
    void CompileToKVW();
    // Tool 1322: frmKvwCompile.
    void ShowWebSettings();
    // Tool 1324: frmKVDCompile.
    void ShowDesktopMode();
    // The validator's log in a read-only viewer.
    void ViewLog();

    // Without dialogs or message boxes: the command line and the two tools' second halves.
    // A desktop file is written only without errors; a web file always, unless writing fails.
    // Either way a file already at path is replaced only by a complete one.
    Outcome CompileKvdTo(const QString& path);
    Outcome CompileKvwTo(const QString& path);

    // Validation and numbering; for the desktop runtime also the compiled file, written when
    // validation found no error. False when a run-time failure stopped it (reported).
    bool CompileIntoThisFile(const QString& fileName);

    bool Error() const { return m_error; }
    bool Warning() const { return m_warning; }
    const QString& CompiledFile() const { return m_compiledFile; }
    qint16 NewIntID(qint16 intID) const { return m_numbers.NewIntID(intID); }
    const NewIntIdTable& Numbers() const { return m_numbers; }
    bool CompilingKVW() const { return m_compilingKVW; }
    bool CompilingKVD() const { return m_compilingKVD; }
    CcValidation& Validation() { return *m_validation; }
    // What went wrong when a compile failed; empty otherwise.
    const QString& FailureText() const { return m_failure; }

    // The default output name for the web compile: the document's name without blanks and, when
    // it holds "." and is longer than 4 characters, without its last 4.
    static QString DefaultKvwName(const QString& documentName);
    static QString CreateCallingAppKey(const QString& documentName);

    // For tests: the next desktop file fails after this many bytes, as a full disk would.
    void setFailAfterBytesForTest(qint64 bytes) { m_failAfterBytes = bytes; }

private:
    Outcome outcome() const;
    void setTarget(bool web);
    void status(const QString& text, bool alsoLog);
    void progress(int percent);
    void cleanUp();
    // The validation log into its file and the log window.
    void saveLog();
    void report(const QString& path);
    void fail(const QString& text);
    bool writeKvw(const QString& path);
    // Each picture into the file the web tree refers to by writer.PictureFile.
    void exportPictures(const QString& folder, const KvwTreeWriter& writer);
    QString wizardTitle() const;
    QString askForPath(int titleId, int filterId, const QString& suggested, const QString& extension);

    CmDecisionManager& m_decisions;
    CmDocument& m_document;
    std::unique_ptr<CcValidation> m_validation;
    NewIntIdTable m_numbers;
    IPrompt* m_prompt = nullptr;
    ICompileHost* m_host = nullptr;
    QString m_imagePath;
    QString m_compiledFile;
    QString m_failure;
    bool m_error = false;
    bool m_warning = false;
    bool m_compilingKVW = false;
    bool m_compilingKVD = false;
    bool m_autoSpellCheck = false;
    bool m_saveLogFile = true;
    qint64 m_failAfterBytes = -1;
};
