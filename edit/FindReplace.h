#pragma once

#include "edit/FindText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class CcCriteriaList;
class CcDecisionTree;
class CmDecisionItem;
class CmDecisionManager;
class CmDocument;
class ISelectorExplorer;

// What to look for, where and which way.
struct SearchRequest {
    enum Direction : int { Backward = 0, Forward = 1, AllDirections = 2 };
    enum Area : int {
        DecisionTree = 0,
        ThisControl = 1,
        ThisSelector = 2,
        OpenSelectors = 3,
        AllSelectors = 4,
        Everything = 5,
    };

    QString text;
    QString replacement;
    FindText::Options options;
    int direction = Forward;
    int area = DecisionTree;

    bool SearchesTree() const { return area == DecisionTree || area == ThisControl || area == Everything; }
    bool SearchesSelectors() const { return area >= ThisSelector; }
};

// One match: in a field of a control or in a cell of a selector.
struct FoundMatch {
    enum Field : int { Group, Name, Picture, HelpId, Heading, Interface, Caption, Option, FieldCount };

    bool inSelector = false;
    qint16 key = 0;
    int field = Group;
    // The option line, counted from 0.
    int line = -1;
    QString selector;
    // Grid positions: row 0 is the header.
    int row = -1;
    int column = -1;
    qsizetype position = -1;
    qsizetype length = 0;
    // The whole field or cell.
    QString text;

    bool operator==(const FoundMatch&) const = default;
};

// Finds text in the fields of the controls and the cells of the selectors, and replaces it
// through the same operations an author's edits use, so that every replacement is undoable.
class FindReplace {
public:
    struct Outcome {
        qint64 replaced = 0;
        // Matches whose field refused the new text (a name taken or invalid, a help id that
        // is no number, an empty property name).
        qint64 skipped = 0;
    };

    explicit FindReplace(CmDecisionManager& decisions);

    // Names go through the tree's rename, with every reference; without it they are skipped.
    void setTree(CcDecisionTree* tree) { m_tree = tree; }
    void setSelectors(CcCriteriaList* selectors, ISelectorExplorer* explorer, CmDocument* document);

    // Every match of the area (the tree by key, then the selectors in the explorer's order);
    // "this control" is the selected one and "this selector" the active editor.
    QList<FoundMatch> FindAll(const SearchRequest& request) const;
    // The first match after the one given (or from the start key when none), by the
    // request's direction; All Directions wraps round to the start key.
    std::optional<FoundMatch> NextInTree(const SearchRequest& request, qint16 startKey,
                                         const std::optional<FoundMatch>& after) const;
    std::optional<FoundMatch> NextInSelectors(const SearchRequest& request, const QString& startSelector,
                                              const std::optional<FoundMatch>& after) const;

    // Replaces the one match if its field still holds it; false when refused or gone.
    bool Replace(const FoundMatch& match, const SearchRequest& request);
    Outcome ReplaceAll(const SearchRequest& request);

    // The field's name as the command line prints it.
    static QString FieldName(int field);
    // The fields of a control in the order they are searched.
    QString FieldText(const CmDecisionItem& item, int field) const;

private:
    QStringList selectorsOf(const SearchRequest& request) const;
    QList<QStringList> cellsOf(const QString& selector) const;
    void matchesInControl(const CmDecisionItem& item, const SearchRequest& request, QList<FoundMatch>& out) const;
    void matchesInSelector(const QString& selector, const SearchRequest& request, QList<FoundMatch>& out) const;
    QList<qint16> keysInOrder(const SearchRequest& request, qint16 startKey) const;
    bool writeField(CmDecisionItem& item, int field, int line, const QString& text);
    bool writeCell(const QString& selector, int row, int column, const QString& text);
    Outcome replaceInControl(CmDecisionItem& item, const SearchRequest& request);
    Outcome replaceInSelector(const QString& selector, const SearchRequest& request);

    CmDecisionManager& m_decisions;
    CcDecisionTree* m_tree = nullptr;
    CcCriteriaList* m_selectors = nullptr;
    ISelectorExplorer* m_explorer = nullptr;
    CmDocument* m_document = nullptr;
};
