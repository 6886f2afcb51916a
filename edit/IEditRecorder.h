#pragma once

#include <QVariant>

// Where the tree editing operations hand their undoable commands: the undo history records
// them, tests look at them.
class IEditRecorder {
public:
    // The kinds the diagram records.
    static constexpr qint16 ControlAdded = 4;
    static constexpr qint16 ControlDeleted = 5;
    static constexpr qint16 ControlMoved = 6;

    virtual ~IEditRecorder() = default;
    virtual void AddCommand(qint16 kind, const QVariant& key, const QVariant& data, const QVariant& oldValue,
                            const QVariant& newValue) = 0;
    // Everything recorded between the two is one step of the history, undone and redone as a
    // whole. Pairs nest; the outermost one counts.
    virtual void BeginStep() {}
    virtual void EndStep() {}

protected:
    IEditRecorder() = default;
    IEditRecorder(const IEditRecorder&) = default;
    IEditRecorder& operator=(const IEditRecorder&) = default;
};

// One step of the history for as long as it lives; with no recorder it does nothing.
class EditStep {
public:
    explicit EditStep(IEditRecorder* recorder) : m_recorder(recorder)
    {
        if (m_recorder)
            m_recorder->BeginStep();
    }
    ~EditStep()
    {
        if (m_recorder)
            m_recorder->EndStep();
    }
    EditStep(const EditStep&) = delete;
    EditStep& operator=(const EditStep&) = delete;

private:
    IEditRecorder* m_recorder;
};
