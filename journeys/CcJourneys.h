#pragma once

#include "journeys/JourneyListModel.h"

#include <QObject>
#include <QString>

class CmDecisionManager;
class CmDocument;
class IPrompt;
class RuntimeEngine;

// The journeys of the open project in the Designer: records the run test mode holds as a
// journey of the project, and runs one or all of them on the tree as it stands (compiled in
// memory, saved or not), keeping the results in the list the journeys window shows.
class CcJourneys : public QObject {
    Q_OBJECT
public:
    // All three must outlive the controller.
    CcJourneys(const CmDecisionManager& decisions, CmDocument& document, IPrompt& prompt, QObject* parent = nullptr);

    JourneyListModel& List() { return m_list; }
    const JourneyListModel& List() const { return m_list; }
    // Reads the project's journeys again (another project was opened, say).
    void Reload();

    // Whether the engine holds a run that can be kept.
    static bool CanRecord(const RuntimeEngine* engine);
    // Asks for a name and keeps the engine's run as a journey of the project (a journey of that
    // name is replaced when the author agrees); false when nothing was kept.
    bool Record(const RuntimeEngine* engine);
    // The rows run, or every row when none are given; false when the tree could not be compiled.
    bool Run(const QList<int>& rows = {});
    bool Remove(int row);

signals:
    // A line for the log window.
    void logLine(const QString& line);

private:
    void message(const QString& text) const;
    bool store(const QList<Journey>& journeys);

    const CmDecisionManager& m_decisions;
    CmDocument& m_document;
    IPrompt& m_prompt;
    JourneyListModel m_list;
};
