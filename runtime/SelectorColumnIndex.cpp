#include "runtime/SelectorColumnIndex.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// The number's bits as an unsigned key in the same order (NaN aside): negative numbers reversed.
std::uint64_t orderedKey(double value)
{
    constexpr std::uint64_t SignBit = std::uint64_t{1} << 63;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return (bits & SignBit) != 0 ? ~bits : bits | SignBit;
}

// The items in ascending order of their keys: a byte at a time from the lowest, each pass
// stable, a pass skipped where every key has the same byte (small whole numbers share most).
// Linear in the items, where a comparison sort of a large column cost several times more.
std::vector<int> sortedByKey(std::vector<std::pair<std::uint64_t, int>> entries)
{
    constexpr int Bytes = 8;
    std::array<std::array<std::size_t, 256>, Bytes> counts{};
    for (const auto& entry : entries)
        for (int byte = 0; byte < Bytes; ++byte)
            ++counts[static_cast<std::size_t>(byte)][(entry.first >> (8 * byte)) & 0xFF];
    std::vector<std::pair<std::uint64_t, int>> scratch(entries.size());
    for (int byte = 0; byte < Bytes; ++byte) {
        auto& starts = counts[static_cast<std::size_t>(byte)];
        if (std::find(starts.begin(), starts.end(), entries.size()) != starts.end())
            continue;
        std::size_t start = 0;
        for (std::size_t& count : starts)
            start += std::exchange(count, start);
        for (const auto& entry : entries)
            scratch[starts[(entry.first >> (8 * byte)) & 0xFF]++] = entry;
        entries.swap(scratch);
    }
    std::vector<int> items;
    items.reserve(entries.size());
    for (const auto& entry : entries)
        items.push_back(entry.second);
    return items;
}

} // namespace

SelectorColumnIndex::SelectorColumnIndex(const std::vector<RuntimeValue>& cells, const std::vector<double>& numbers)
{
    std::vector<std::pair<std::uint64_t, int>> keys;
    std::vector<std::pair<QString, int>> texts;
    keys.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const RuntimeValue& cell = cells[i];
        const int item = static_cast<int>(i);
        if (cell.kind() == RuntimeValue::Kind::Number && !std::isnan(numbers[i]))
            keys.emplace_back(orderedKey(numbers[i]), item);
        else if (cell.kind() == RuntimeValue::Kind::Text && cell.choiceList().isEmpty())
            texts.emplace_back(cell.toText().toCaseFolded(), item);
        else
            m_others.push_back(item);
    }
    m_numberItems = sortedByKey(std::move(keys));
    m_numbers.reserve(m_numberItems.size());
    for (const int item : m_numberItems)
        m_numbers.push_back(numbers[static_cast<std::size_t>(item)]);
    std::sort(texts.begin(), texts.end());
    for (const auto& [key, item] : texts) {
        m_keys.push_back(key);
        m_texts.push_back(cells[static_cast<std::size_t>(item)].toText());
        m_textItems.push_back(item);
    }
    // Neighbours that the two orders rank alike make the sorted list sorted for both.
    for (std::size_t i = 1; i < m_keys.size() && m_ordersAgree; ++i)
        m_ordersAgree = sign(m_keys[i - 1].compare(m_keys[i]))
                        == sign(m_texts[i - 1].compare(m_texts[i], Qt::CaseInsensitive));
}

std::optional<SelectorColumnIndex::Lookup> SelectorColumnIndex::lookup(ExpressionOperator op,
                                                                       const RuntimeValue& constant) const
{
    if (ExpressionNode::precedence(op) != ExpressionNode::CompareLevel || constant.kind() == RuntimeValue::Kind::Boolean
        || !constant.choiceList().isEmpty())
        return std::nullopt;
    // A number, or a text that reads as one, is compared with number cells by value; a text
    // that does not is compared with their written form, which this sort does not follow.
    const std::optional<double> number = constant.toNumber();
    if (number && std::isnan(*number))
        return std::nullopt;
    Lookup found;
    found.toTest.emplace_back(m_others);
    bool answered = false;
    if (number) {
        addMatches(op, numberBounds(*number), m_numberItems, found.matching);
        answered = true;
    } else {
        found.toTest.emplace_back(m_numberItems);
    }
    // Text cells meet any constant but true/false as text: the constant's own text, or the
    // number written out.
    if (const std::optional<Bounds> bounds = m_textItems.empty() ? Bounds{} : textBounds(constant.toText())) {
        addMatches(op, *bounds, m_textItems, found.matching);
        answered = true;
    } else {
        found.toTest.emplace_back(m_textItems);
    }
    if (!answered)
        return std::nullopt;
    return found;
}

void SelectorColumnIndex::addMatches(ExpressionOperator op, Bounds bounds, std::span<const int> items,
                                     std::vector<std::span<const int>>& out)
{
    const auto part = [&out, items](std::size_t begin, std::size_t end) {
        if (end > begin)
            out.push_back(items.subspan(begin, end - begin));
    };
    switch (op) {
    case ExpressionOperator::Equal: part(bounds.low, bounds.high); break;
    case ExpressionOperator::NotEqual:
        part(0, bounds.low);
        part(bounds.high, items.size());
        break;
    case ExpressionOperator::Less: part(0, bounds.low); break;
    case ExpressionOperator::LessEqual: part(0, bounds.high); break;
    case ExpressionOperator::Greater: part(bounds.high, items.size()); break;
    case ExpressionOperator::GreaterEqual: part(bounds.low, items.size()); break;
    default: break;
    }
}

SelectorColumnIndex::Bounds SelectorColumnIndex::numberBounds(double value) const
{
    const auto [low, high] = std::equal_range(m_numbers.begin(), m_numbers.end(), value);
    return Bounds{static_cast<std::size_t>(low - m_numbers.begin()), static_cast<std::size_t>(high - m_numbers.begin())};
}

std::optional<SelectorColumnIndex::Bounds> SelectorColumnIndex::textBounds(const QString& text) const
{
    if (!m_ordersAgree)
        return std::nullopt;
    // Two plain texts are compared by their folded forms, anything else case-insensitively; a
    // constant can be either, so the answer holds only where both orders place it alike.
    const QString key = text.toCaseFolded();
    const auto [low, high] = std::equal_range(m_keys.begin(), m_keys.end(), key);
    const auto lowInsensitive = std::partition_point(m_texts.begin(), m_texts.end(), [&text](const QString& cell) {
        return cell.compare(text, Qt::CaseInsensitive) < 0;
    });
    const auto highInsensitive = std::partition_point(lowInsensitive, m_texts.end(), [&text](const QString& cell) {
        return cell.compare(text, Qt::CaseInsensitive) <= 0;
    });
    const Bounds bounds{static_cast<std::size_t>(low - m_keys.begin()), static_cast<std::size_t>(high - m_keys.begin())};
    if (bounds.low != static_cast<std::size_t>(lowInsensitive - m_texts.begin())
        || bounds.high != static_cast<std::size_t>(highInsensitive - m_texts.begin()))
        return std::nullopt;
    return bounds;
}
