#pragma once

// How many steps the undo history can go back and forward; Undo and Redo are enabled from it.
class IUndoCounts {
public:
    virtual ~IUndoCounts() = default;
    virtual int UndoCount() const = 0;
    virtual int RedoCount() const = 0;

protected:
    IUndoCounts() = default;
    IUndoCounts(const IUndoCounts&) = default;
    IUndoCounts& operator=(const IUndoCounts&) = default;
};
