#include "edit/CcUndoItem.h"

#include <utility>

namespace {

struct KindPair {
    qint16 one;
    qint16 other;
};
constexpr KindPair Pairs[] = {{4, 5}, {7, 8}, {10, 11}, {14, 17}, {15, 18}};

} // namespace

qint16 CcUndoItem::InverseKind(qint16 kind)
{
    for (const KindPair& pair : Pairs) {
        if (kind == pair.one)
            return pair.other;
        if (kind == pair.other)
            return pair.one;
    }
    return kind;
}

bool CcUndoItem::AlwaysRecorded(qint16 kind)
{
    return InverseKind(kind) != kind;
}

CcUndoItem CcUndoItem::Copy() const
{
    if (IsGroup()) {
        CcUndoItem group;
        for (auto part = Parts.crbegin(); part != Parts.crend(); ++part)
            group.Parts.push_back(part->Copy());
        group.Kind = group.Parts.front().Kind;
        return group;
    }
    CcUndoItem copy = *this;
    std::swap(copy.OldValue, copy.NewValue);
    std::swap(copy.Selector.oldText, copy.Selector.newText);
    copy.Kind = InverseKind(Kind);
    copy.Selector.kind = copy.Kind;
    return copy;
}
