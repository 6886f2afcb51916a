#pragma once

#include "lang/SelectorLookup.h"

#include <QHash>
#include <QString>

class CmDecisionManager;
class ISelectorCatalog;
struct ControlDependencies;
class IValidationLog;

// The reference checks of the validator: control references against the decisions, selector
// references against the project's selectors. Every unknown reference is an error in the log;
// the walk always goes on. A checker remembers what it read of the selectors, so it serves
// one validation run.
class ReferenceChecker {
public:
    ReferenceChecker(const CmDecisionManager& decisions, const ISelectorCatalog& selectors, IValidationLog& log);

    // The targets the tree is validated for. FinishLink is accepted when the web runtime is a
    // target, and an error when only the desktop runtime is; with neither it is an ordinary name.
    bool CompileKVW() const { return m_compileKVW; }
    void setCompileKVW(bool web) { m_compileKVW = web; }
    bool CompileKVD() const { return m_compileKVD; }
    void setCompileKVD(bool desktop) { m_compileKVD = desktop; }
    // While set, every control and selector name checked is added to it; null stops that.
    void setDependencies(ControlDependencies* dependencies) { m_dependencies = dependencies; }
    // While set, the tree is taken to stay as it is (a run over all of it): whether a name, as
    // written, names a control is looked up once.
    void setTreeFixed(bool fixed);

    // Checks every [[...]] and <<...>> of the text; false when any of them is unknown. An
    // empty text has no references.
    bool ValidateRefs(const QString& location, const QString& text);
    // The name, trimmed and without regard to case, must name a control.
    bool ValidateDecisionRef(const QString& location, const QString& name);
    // "Selector", "Selector:Property" or "Selector:Property;Item".
    bool ValidateCLRef(const QString& location, const QString& reference);

private:
    void reportError(int messageId, const QString& subject, const QString& location);
    bool controlExists(const QString& name);

    const CmDecisionManager& m_decisions;
    SelectorLookup m_selectors;
    IValidationLog& m_log;
    ControlDependencies* m_dependencies = nullptr;
    bool m_compileKVW = false;
    bool m_compileKVD = false;
    bool m_treeFixed = false;
    QHash<QString, bool> m_controlExists;
};
