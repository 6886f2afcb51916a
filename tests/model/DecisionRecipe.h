#pragma once

#include <QStringList>

#include <memory>

class CmDecisionItem;
class CmDecisionManager;

// Decisions for the record tests, written as "key=value" entries applied in order: id, name,
// type, group, picture, help, url, header, caption, default (a text), number (a numeric
// default), min, max, lines (TAB-separated).
namespace DecisionRecipe {

std::unique_ptr<CmDecisionItem> build(const QStringList& recipe);

// What a stored record carries of a decision; displayed controls as the numbers they resolve
// to, the limits only where the record holds them (a numeric interface without options).
QStringList carried(const CmDecisionItem& decision, const CmDecisionManager* decisions);

} // namespace DecisionRecipe
