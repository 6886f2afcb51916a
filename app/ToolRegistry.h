#pragma once

#include "app/ToolId.h"

#include <vector>

class CView;

// What each command does and when it is enabled or checked: one row per command (or per run of
// ids sharing an operation). The command table says only where a tool appears.
namespace ToolRegistry {

using Operation = void (*)(CView& view, int id);
using Rule = bool (*)(const CView& view, int id);

struct Row {
    ToolId first;
    ToolId last;
    // Null while the operation belongs to later work: the tool stays disabled.
    Operation run = nullptr;
    // Null: allowed whenever the operation exists.
    Rule allowed = nullptr;
    // Null: the tool shows no check mark of its own state.
    Rule checked = nullptr;
    // A toggle or one of several choices.
    bool checkable = false;

    bool holds(int id) const { return id >= +first && id <= +last; }
};

// In id order, without overlaps.
const std::vector<Row>& Rows();
// Null for an id no row holds.
const Row* Find(int id);

bool Implemented(int id);
bool Checkable(int id);
// The string-table id of the tool's menu caption: its own id, but for the control types, whose
// texts are also the interface names and so cannot carry an access key.
int CaptionId(int id);

} // namespace ToolRegistry
