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

protected:
    IEditRecorder() = default;
    IEditRecorder(const IEditRecorder&) = default;
    IEditRecorder& operator=(const IEditRecorder&) = default;
};
