#include "edit/FindReplace.h"

#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "edit/IEditRecorder.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/DecisionProperties.h"
#include "selectors/CcCriteriaList.h"
#include "selectors/ISelectorExplorer.h"
#include "selectors/SelectorStore.h"
#include "selectors/SelectorText.h"

#include <algorithm>
#include <tuple>

namespace {

using namespace MDecisionDataUtil;

constexpr int HeadingNameId = 32750;
constexpr int OptionsNameId = 32751;

// The property label of a field written through the property setter; 0 for the others.
int labelOf(int field)
{
    switch (field) {
    case FoundMatch::Group: return DisplayedControlsLabel;
    case FoundMatch::Picture: return PictureLabel;
    case FoundMatch::HelpId: return HelpIdLabel;
    case FoundMatch::Caption: return CaptionLabel;
    default: return 0;
    }
}

auto orderOf(const FoundMatch& match)
{
    return std::make_tuple(match.field, match.line, match.row, match.column, match.position);
}

bool comesAfter(const FoundMatch& match, const FoundMatch& after)
{
    return orderOf(match) > orderOf(after);
}

void addMatches(const QString& text, const SearchRequest& request, FoundMatch where, QList<FoundMatch>& out)
{
    for (qsizetype at = FindText::Find(text, request.text, request.options); at >= 0;
         at = FindText::Find(text, request.text, request.options, at + 1)) {
        where.position = at;
        where.length = request.text.size();
        where.text = text;
        out.append(where);
    }
}

} // namespace

FindReplace::FindReplace(CmDecisionManager& decisions) : m_decisions(decisions)
{
}

void FindReplace::setSelectors(CcCriteriaList* selectors, ISelectorExplorer* explorer, CmDocument* document)
{
    m_selectors = selectors;
    m_explorer = explorer;
    m_document = document;
}

QString FindReplace::FieldName(int field)
{
    switch (field) {
    case FoundMatch::Group: return LoadResString(DisplayedControlsLabel);
    case FoundMatch::Name: return LoadResString(ControlNameLabel);
    case FoundMatch::Picture: return LoadResString(PictureLabel);
    case FoundMatch::HelpId: return LoadResString(HelpIdLabel);
    case FoundMatch::Heading: return LoadResString(HeadingNameId);
    case FoundMatch::Interface: return LoadResString(InputInterfaceLabel);
    case FoundMatch::Caption: return LoadResString(CaptionLabel);
    default: return LoadResString(OptionsNameId);
    }
}

QString FindReplace::FieldText(const CmDecisionItem& item, int field) const
{
    switch (field) {
    case FoundMatch::Group: return item.Group().isEmpty() ? QString() : GetProperty(item, DisplayedControlsLabel, &m_decisions);
    case FoundMatch::Name: return item.strID();
    case FoundMatch::Picture: return item.Picture();
    case FoundMatch::HelpId: return QString::number(item.kvdHelpID());
    case FoundMatch::Heading: return item.Heading();
    case FoundMatch::Interface: return item.strControl();
    case FoundMatch::Caption: return item.Caption();
    default: return QString();
    }
}

void FindReplace::matchesInControl(const CmDecisionItem& item, const SearchRequest& request,
                                   QList<FoundMatch>& out) const
{
    FoundMatch where;
    where.key = item.intID();
    for (int field = FoundMatch::Group; field < FoundMatch::Option; ++field) {
        where.field = field;
        addMatches(FieldText(item, field), request, where, out);
    }
    where.field = FoundMatch::Option;
    const QStringList& lines = item.OptsAndActs();
    for (int line = 0; line < lines.size(); ++line) {
        where.line = line;
        addMatches(lines.at(line), request, where, out);
    }
}

QList<QStringList> FindReplace::cellsOf(const QString& selector) const
{
    if (m_selectors) {
        if (const CvCriteriaList* editor = m_selectors->Manager().Item(selector)) {
            QList<QStringList> rows;
            rows.reserve(editor->RowCount());
            for (int row = 0; row < editor->RowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < editor->ColumnCount(); ++column)
                    cells.append(editor->Cell(row, column));
                rows.append(cells);
            }
            return rows;
        }
    }
    if (!m_document)
        return {};
    QString text;
    SelectorText::Rows rows;
    if (!SelectorStore(m_document->Storage()).ReadText(selector, text) || !SelectorText::Read(text, rows))
        return {};
    return rows;
}

void FindReplace::matchesInSelector(const QString& selector, const SearchRequest& request,
                                    QList<FoundMatch>& out) const
{
    const QList<QStringList> rows = cellsOf(selector);
    FoundMatch where;
    where.inSelector = true;
    where.selector = selector;
    for (int row = 0; row < rows.size(); ++row) {
        where.row = row;
        const QStringList& cells = rows.at(row);
        for (int column = 0; column < cells.size(); ++column) {
            where.column = column;
            addMatches(cells.at(column), request, where, out);
        }
    }
}

QStringList FindReplace::selectorsOf(const SearchRequest& request) const
{
    switch (request.area) {
    case SearchRequest::ThisSelector: {
        const CvCriteriaList* active = m_selectors ? m_selectors->Manager().ActiveList() : nullptr;
        return active ? QStringList{active->Name()} : QStringList();
    }
    case SearchRequest::OpenSelectors: return m_selectors ? m_selectors->Manager().Names() : QStringList();
    default:
        if (m_explorer)
            return m_explorer->CriteriaListNames();
        return m_selectors ? m_selectors->Manager().Names() : QStringList();
    }
}

QList<qint16> FindReplace::keysInOrder(const SearchRequest& request, qint16 startKey) const
{
    if (request.area == SearchRequest::ThisControl)
        return {startKey};
    QList<qint16> keys;
    keys.reserve(m_decisions.Count());
    for (int index = 1; index <= m_decisions.Count(); ++index) {
        if (const CmDecisionItem* item = m_decisions.ItemByIndex(index))
            keys.append(item->intID());
    }
    std::sort(keys.begin(), keys.end());
    const auto start = std::lower_bound(keys.begin(), keys.end(), startKey);
    QList<qint16> ordered;
    ordered.reserve(keys.size() + 1);
    if (request.direction == SearchRequest::Backward) {
        auto end = start;
        if (end != keys.end() && *end == startKey)
            ++end;
        std::reverse_copy(keys.begin(), end, std::back_inserter(ordered));
        return ordered;
    }
    std::copy(start, keys.end(), std::back_inserter(ordered));
    if (request.direction == SearchRequest::AllDirections)
        std::copy(keys.begin(), start, std::back_inserter(ordered));
    return ordered;
}

QList<FoundMatch> FindReplace::FindAll(const SearchRequest& request) const
{
    QList<FoundMatch> found;
    if (request.text.isEmpty())
        return found;
    if (request.SearchesTree()) {
        SearchRequest forward = request;
        forward.direction = SearchRequest::Forward;
        const CmDecisionItem* selected = m_decisions.Selected();
        const qint16 start = request.area == SearchRequest::ThisControl ? (selected ? selected->intID() : 1) : 0;
        for (const qint16 key : keysInOrder(forward, start)) {
            if (const CmDecisionItem* item = m_decisions.Item(int{key}))
                matchesInControl(*item, request, found);
        }
    }
    if (request.SearchesSelectors()) {
        for (const QString& selector : selectorsOf(request))
            matchesInSelector(selector, request, found);
    }
    return found;
}

std::optional<FoundMatch> FindReplace::NextInTree(const SearchRequest& request, qint16 startKey,
                                                  const std::optional<FoundMatch>& after) const
{
    if (request.text.isEmpty())
        return std::nullopt;
    // The keys from the start; a search that goes on resumes at the last match's control.
    const QList<qint16> keys = keysInOrder(request, startKey);
    const bool continuing = after && !after->inSelector;
    const qsizetype resume = continuing ? std::max<qsizetype>(keys.indexOf(after->key), 0) : 0;
    for (qsizetype i = resume; i < keys.size(); ++i) {
        const CmDecisionItem* item = m_decisions.Item(int{keys.at(i)});
        if (!item)
            continue;
        QList<FoundMatch> matches;
        matchesInControl(*item, request, matches);
        const bool sameControl = continuing && keys.at(i) == after->key;
        for (const FoundMatch& match : std::as_const(matches)) {
            if (!sameControl || comesAfter(match, *after))
                return match;
        }
    }
    return std::nullopt;
}

std::optional<FoundMatch> FindReplace::NextInSelectors(const SearchRequest& request, const QString& startSelector,
                                                       const std::optional<FoundMatch>& after) const
{
    if (request.text.isEmpty())
        return std::nullopt;
    QStringList names = selectorsOf(request);
    const qsizetype at = names.indexOf(startSelector);
    if (at > 0)
        names = names.mid(at) + names.mid(0, at);
    const bool continuing = after && after->inSelector;
    const qsizetype resume = continuing ? std::max<qsizetype>(names.indexOf(after->selector), 0) : 0;
    const bool backward = request.direction == SearchRequest::Backward;
    for (qsizetype i = resume; i < names.size(); ++i) {
        QList<FoundMatch> matches;
        matchesInSelector(names.at(i), request, matches);
        if (backward)
            std::reverse(matches.begin(), matches.end());
        const bool sameSelector = continuing && after->selector == names.at(i);
        for (const FoundMatch& match : std::as_const(matches)) {
            if (!sameSelector || (backward ? comesAfter(*after, match) : comesAfter(match, *after)))
                return match;
        }
    }
    return std::nullopt;
}

bool FindReplace::writeField(CmDecisionItem& item, int field, int line, const QString& text)
{
    if (const int label = labelOf(field))
        return SetProperty(item, label, text);
    switch (field) {
    case FoundMatch::Name:
        return m_tree && m_tree->Rename(item.strID(), text, item.intID());
    case FoundMatch::Heading: item.EditHeading(text); return true;
    case FoundMatch::Option: {
        QStringList lines = item.OptsAndActs();
        if (line < 0 || line >= lines.size())
            return false;
        lines[line] = text;
        item.setOptsAndActs(lines);
        return true;
    }
    default: return false; // the interface is searched only
    }
}

bool FindReplace::writeCell(const QString& selector, int row, int column, const QString& text)
{
    if (!m_selectors)
        return false;
    CvCriteriaList* editor = m_selectors->Manager().Item(selector);
    if (!editor) {
        m_selectors->EditList(selector);
        editor = m_selectors->Manager().Item(selector);
    }
    if (!editor)
        return false;
    editor->EditCell(row, column, text);
    return editor->Cell(row, column) == text;
}

bool FindReplace::Replace(const FoundMatch& match, const SearchRequest& request)
{
    QString current;
    CmDecisionItem* item = nullptr;
    if (match.inSelector) {
        current = cellsOf(match.selector).value(match.row).value(match.column);
    } else {
        item = m_decisions.Item(int{match.key});
        if (!item)
            return false;
        current = match.field == FoundMatch::Option ? item->OptsAndActs().value(match.line) : FieldText(*item, match.field);
    }
    if (current != match.text || FindText::Find(current, request.text, request.options, match.position) != match.position)
        return false;
    const QString replaced = current.left(match.position) + request.replacement + current.mid(match.position + match.length);
    return match.inSelector ? writeCell(match.selector, match.row, match.column, replaced)
                            : writeField(*item, match.field, match.line, replaced);
}

FindReplace::Outcome FindReplace::replaceInControl(CmDecisionItem& item, const SearchRequest& request)
{
    Outcome outcome;
    const auto count = [&](qint64 matches, bool written) {
        (written ? outcome.replaced : outcome.skipped) += matches;
    };
    for (int field = FoundMatch::Group; field < FoundMatch::Option; ++field) {
        if (field == FoundMatch::Interface)
            continue;
        QString text = FieldText(item, field);
        if (const qint64 matches = FindText::ReplaceAll(text, request.text, request.replacement, request.options))
            count(matches, writeField(item, field, -1, text));
    }
    QStringList lines = item.OptsAndActs();
    qint64 inLines = 0;
    for (QString& line : lines)
        inLines += FindText::ReplaceAll(line, request.text, request.replacement, request.options);
    if (inLines) {
        item.setOptsAndActs(lines);
        outcome.replaced += inLines;
    }
    return outcome;
}

FindReplace::Outcome FindReplace::replaceInSelector(const QString& selector, const SearchRequest& request)
{
    Outcome outcome;
    const QList<QStringList> rows = cellsOf(selector);
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows.at(row).size(); ++column) {
            QString text = rows.at(row).at(column);
            if (const qint64 matches = FindText::ReplaceAll(text, request.text, request.replacement, request.options))
                (writeCell(selector, row, column, text) ? outcome.replaced : outcome.skipped) += matches;
        }
    }
    return outcome;
}

FindReplace::Outcome FindReplace::ReplaceAll(const SearchRequest& request)
{
    Outcome outcome;
    if (request.text.isEmpty())
        return outcome;
    // However many controls and cells it changes, one Undo takes it all back.
    const EditStep step(m_tree ? m_tree->View().recorder() : nullptr);
    const auto add = [&outcome](const Outcome& more) {
        outcome.replaced += more.replaced;
        outcome.skipped += more.skipped;
    };
    if (request.SearchesTree()) {
        SearchRequest forward = request;
        forward.direction = SearchRequest::Forward;
        const CmDecisionItem* selected = m_decisions.Selected();
        const qint16 start = request.area == SearchRequest::ThisControl ? (selected ? selected->intID() : 1) : 0;
        for (const qint16 key : keysInOrder(forward, start)) {
            if (CmDecisionItem* item = m_decisions.Item(int{key}))
                add(replaceInControl(*item, request));
        }
    }
    if (request.SearchesSelectors()) {
        for (const QString& selector : selectorsOf(request))
            add(replaceInSelector(selector, request));
    }
    return outcome;
}
