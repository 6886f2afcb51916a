#pragma once

#include "lang/ExpressionNode.h"
#include "runtime/RuntimeValue.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

// An item test of the shape "Property op constant": the column, the operator as if the cell
// stood on its left, and the constant worked out.
struct CellComparison {
    int column = -1;
    ExpressionOperator op = ExpressionOperator::Equal;
    const RuntimeValue* constant = nullptr;
};

// One column of a selector sorted so that a comparison with a constant finds the items that
// match without testing every item. Numbers are sorted by value, texts by their case-folded
// form; each lookup is answered only where the sort agrees with how RuntimeValue compares the
// cell with that constant, and the items it cannot answer are handed back to be tested.
class SelectorColumnIndex {
public:
    // The cells as the table read them (RuntimeValue::guess: numbers and plain texts), and the
    // same cells as numbers, NaN where they are not.
    SelectorColumnIndex(const std::vector<RuntimeValue>& cells, const std::vector<double>& numbers);

    // Items in no particular order: those that match for certain, and those the caller must
    // test itself. Removed items are among them.
    struct Lookup {
        std::vector<std::span<const int>> matching;
        std::vector<std::span<const int>> toTest;
    };
    // Nothing when the index answers no part of the comparison (a true/false or multi-choice
    // constant, a constant that is not a number but reads as NaN, an operator that does not
    // compare).
    std::optional<Lookup> lookup(ExpressionOperator op, const RuntimeValue& constant) const;

private:
    // The entries equal to the constant stand in [low, high) of a sorted class.
    struct Bounds {
        std::size_t low = 0;
        std::size_t high = 0;
    };
    static void addMatches(ExpressionOperator op, Bounds bounds, std::span<const int> items,
                           std::vector<std::span<const int>>& out);
    Bounds numberBounds(double value) const;
    std::optional<Bounds> textBounds(const QString& text) const;

    std::vector<double> m_numbers; // ascending, NaN left out
    std::vector<int> m_numberItems;
    std::vector<QString> m_keys; // case-folded texts, ascending
    std::vector<QString> m_texts; // the same cells as written, for the case-insensitive order
    std::vector<int> m_textItems;
    // Whether the case-insensitive comparison orders the texts as their folded forms do; when
    // not, no text lookup is answered.
    bool m_ordersAgree = true;
    std::vector<int> m_others; // cells always tested: numbers that are NaN
};
