#pragma once

#include "base/StorageResult.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct CompiledTree;
class RuntimeEngine;

// An authoring wizard bundled with the program: a tree read from its rules text, with the string
// table's texts put in place of its {id} marks, and the selector tables that its lists show. It
// is validated, compiled and played like any project.
class WizardTree {
public:
    using Answers = QHash<QString, QString>;
    using Rows = QList<QStringList>;

    static inline const QString ControlWizardPath = QStringLiteral(":/wizards/control-wizard.rules");
    static inline const QString ActionWizardPath = QStringLiteral(":/wizards/action-wizard.rules");

    WizardTree() = default;
    WizardTree(const WizardTree&) = delete;
    WizardTree& operator=(const WizardTree&) = delete;

    // Reads the rules text at path (a resource of the program); the reason on failure.
    StorageResult load(const QString& path);
    // A selector of the wizard's own: the first row names the properties.
    StorageResult addTable(const QString& name, const Rows& rows);
    // The answer a control of the wizard offers first.
    void setDefault(const QString& control, const QString& value);

    const CmDecisionManager& decisions() const { return m_decisions; }
    const CmDocument& document() const { return m_document; }

    // The tree as the runtime gets it; log receives the validation log.
    StorageResult compile(CompiledTree& tree, QString& log) const;

    // Every control's value at the end of a run, by the control's name.
    static Answers answersOf(const RuntimeEngine& engine);
    // The text with each {id} replaced by that string of the table.
    static QString localized(const QString& text);

private:
    void localize(CmDecisionItem& item);

    CmDecisionManager m_decisions;
    CmDocument m_document;
};
