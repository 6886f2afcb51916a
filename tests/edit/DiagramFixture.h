#pragma once

#include "common/ScriptedPrompt.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "edit/IEditRecorder.h"
#include "model/CmDecisionManager.h"

#include <QStringList>
#include <QVariant>

#include <vector>

// What the editing operations handed to the undo history.
class RecordedCommands : public IEditRecorder {
public:
    struct Command {
        qint16 kind;
        QVariant key;
        QVariant data;
        QVariant oldValue;
        QVariant newValue;
    };
    void AddCommand(qint16 kind, const QVariant& key, const QVariant& data, const QVariant& oldValue,
                    const QVariant& newValue) override
    {
        commands.push_back({kind, key, data, oldValue, newValue});
    }
    std::vector<Command> commands;
};

// A tree with its diagram, driven without windows.
struct DiagramFixture {
    CmDecisionManager decisions;
    ScriptedPrompt prompt;
    CvDecisionTree view{decisions, prompt};
    CcDecisionTree tree{view, prompt};
    RecordedCommands recorded;

    DiagramFixture() { view.setRecorder(&recorded); }

    // A control numbered id; lines and displayed controls are "|"-separated.
    CmDecisionItem* add(qint16 id, const QString& name, const QString& lines = QString(),
                        const QString& group = QString(), const QString& heading = QString());
    QStringList linesOf(const QString& name) const;
    QStringList messages() const { return prompt.shownTexts(); }
};
