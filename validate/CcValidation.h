#pragma once

#include "base/StorageResult.h"
#include "validate/IValidationLog.h"
#include "validate/ValidationFindings.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

class CmDecisionItem;
struct ControlDependencies;
class CmDecisionManager;
class CmDocument;
class ISelectorCatalog;
class ReferenceChecker;
class SelectorPropertyCheck;
class StoredSelectorCatalog;

// Checks every control of a tree before it is compiled: picture, displayed controls, the
// interface against the runtime, numeric limits, header references and each option and
// action line. Findings go to the log; errors stop a compilation, warnings do not.
//
// It needs no application object: the decisions and the document are given, status and
// progress are signals, and the log is read through Log() or Findings() or handed out by
// SaveLog's logSaved signal for the log window.
class CcValidation final : public QObject, public IValidationLog {
    Q_OBJECT

public:
    // Both must outlive the validator. Selectors are read from the document's storage.
    CcValidation(const CmDecisionManager& decisions, const CmDocument& document, QObject* parent = nullptr);
    ~CcValidation() override;
    CcValidation(const CcValidation&) = delete;
    CcValidation& operator=(const CcValidation&) = delete;

    // Another source of selectors (an external database, a test); null returns to the stored
    // ones. Must outlive the validator or be replaced first.
    void setSelectorCatalog(const ISelectorCatalog* catalog);

    // The runtimes the tree is checked for. Both set is what file type 0 asks for.
    bool CompileKVW() const { return m_compileKVW; }
    void setCompileKVW(bool web);
    bool CompileKVD() const { return m_compileKVD; }
    void setCompileKVD(bool desktop);
    // 0 both runtimes, 1 web, 2 and 3 desktop.
    void setTargetsForFileType(qint32 fileType);
    // Whether the caller reads the external selectors' tables itself (run, serve and journeys on a
    // project): the desktop target then accepts a !KILL or !SORT on one. Off: such a line is an
    // error for the desktop target alone, whose runtime has no way to read them.
    void setExternalTablesSupplied(bool supplied) { m_externalTablesSupplied = supplied; }
    // The external selectors reported as errors since Clear(), in the order first found.
    const QStringList& RefusedExternalSelectors() const { return m_refusedExternal; }
    // Whether Validate also follows the paths through the tree (PathAnalysis) and logs what
    // cannot work as warnings. Off unless asked for.
    bool AnalyzePaths() const { return m_analyzePaths; }
    void setAnalyzePaths(bool analyze) { m_analyzePaths = analyze; }

    // Set by the first error or warning since Clear().
    bool Error() const { return m_findings.hasErrors(); }
    bool Warning() const { return m_findings.hasWarnings(); }
    // Every entry since Clear(), in the log file's form.
    QString Log() const { return m_findings.text(); }
    const ValidationFindings& Findings() const { return m_findings; }

    // Empties the log and both flags.
    void Clear();
    // Runs every check on every control in decision order, then the path analysis when asked
    // for. Does not clear the log first.
    void Validate();

    void AppendToLog(bool isError, const QString& message, const QString& location,
                     const QString& extra = QString()) override;
    void AppendLineToLog(int line, bool isError, const QString& message, const QString& location,
                         const QString& extra = QString()) override;

    // One control's checks, as Validate runs them for each control; what they read of other
    // controls, selectors and pictures goes to dependencies when given.
    void ValidateControl(const CmDecisionItem& decision, ControlDependencies* dependencies = nullptr);
    // The findings so far, leaving none; what was read of selectors and pictures stays.
    ValidationFindings TakeFindings();
    // Whether another control displays the one of that upper-cased name; unset, Validate
    // collects it from the tree.
    void setDisplayedRule(std::function<bool(const QString& upperName)> rule) { m_displayedRule = std::move(rule); }
    // A selector's blank header cells are reported at the first !KILL or !SORT on it in a run.
    // Checking one control at a time, the rule says (by the case-folded selector name) whether
    // that control is the first; unset, the run's own order decides.
    void setHeaderRule(std::function<bool(const QString& foldedSelector)> rule);
    // While set, the tree is taken to stay as it is (a check of all of it): what was found of a
    // control's name is not looked up again. Validate sets it for its run.
    void setTreeFixed(bool fixed);
    // The selectors or the pictures changed: they are read again when next needed.
    void ForgetSelectors();
    void ForgetPictures();
    // The pictures' names as read beforehand (a check on another thread, away from the document).
    void setPictureNames(const QStringList& names);

    // Writes the log when it is not empty: to fileName, or beside the project with the
    // extension "log". The file is replaced only by a complete write, so a failure leaves the
    // previous log as it was. An empty log writes nothing and succeeds.
    StorageResult SaveLog(const QString& fileName = QString());
    // Where SaveLog writes without a name; empty for a project never saved.
    QString DefaultLogFileName() const;

    // The single checks, for Validate and the compilers. Each logs what it finds and answers
    // whether the subject passed.
    bool ValidatePictureRef(const CmDecisionItem& decision);
    bool ValidateDecisionRef(const QString& location, const QString& name);
    bool ValidateRefs(const QString& location, const QString& text);
    bool ValidateCLRef(const QString& location, const QString& reference);
    bool ValidateExpr(const QString& location, const QString& expression);
    // Minimum, maximum and default of NumBox, RealNumBox and NumSlide controls.
    bool ValidateRange(const CmDecisionItem& decision);
    // Whether a !SET or !DEFAULT value suits the control; logs nothing.
    bool ValidateDecisionValue(const CmDecisionItem& decision, const QString& value) const;
    void ValidateOptionsAndActions(const CmDecisionItem& decision);

signals:
    void statusChanged(const QString& text);
    // 0 to 100; sent when the value moves.
    void progressChanged(int percent);
    // The log was written to path; the log window shows text.
    void logSaved(const QString& text, const QString& path);

private:
    // What the lines of one control hold, for the warnings after them.
    struct BlockSummary;

    ReferenceChecker& references();
    SelectorPropertyCheck& propertyCheck();
    const ISelectorCatalog& selectorCatalog();
    void validateDecision(const CmDecisionItem& decision);
    void validateInterface(const CmDecisionItem& decision);
    void validateSetValue(const QString& location, const QString& argument);
    // action: "!KILL" or "!SORT".
    void validateSelectorAction(const QString& location, const QString& argument, const QString& action);
    void reportSyntax(const QString& location, const QString& line);
    // location: the control's options and actions.
    void reportDecisionWarnings(const CmDecisionItem& decision, const QString& location, const BlockSummary& summary);
    void collectDisplayed();
    bool pictureExists(const QString& name);
    bool isDisplayed(const CmDecisionItem& decision) const;
    // A blank header cell of the selector whose header is being checked, to leave out.
    bool isHiddenHeaderFinding(const QString& message) const;
    void reportProgress(int done, int total);

    const CmDecisionManager& m_decisions;
    const CmDocument& m_document;
    const ISelectorCatalog* m_externalCatalog = nullptr;
    std::unique_ptr<StoredSelectorCatalog> m_storedCatalog;
    std::unique_ptr<ReferenceChecker> m_references;
    std::unique_ptr<SelectorPropertyCheck> m_propertyCheck;
    ValidationFindings m_findings;
    // Upper-cased names of the controls another control displays; filled by Validate.
    QSet<QString> m_displayed;
    QSet<QString> m_pictures;
    bool m_picturesRead = false;
    std::function<bool(const QString&)> m_displayedRule;
    std::function<bool(const QString&)> m_headerRule;
    ControlDependencies* m_dependencies = nullptr;
    // The line of the options and actions being checked, counted from 0; -1 outside them.
    int m_currentLine = -1;
    // The selector whose header a !KILL or !SORT is being checked against, while it is.
    QString m_headerSelector;
    int m_lastProgress = -1;
    bool m_compileKVW = true;
    bool m_compileKVD = true;
    bool m_analyzePaths = false;
    bool m_externalTablesSupplied = false;
    bool m_treeFixed = false;
    QStringList m_refusedExternal;
};
