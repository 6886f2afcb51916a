#pragma once

#include <QStringList>

class CmDecisionManager;
class CmDocument;

// Fills a model with a tree of generated controls: options, !GO/!SET/!IF actions, references
// to other controls, displayed controls, captions and headers, over every interface type.
namespace SyntheticTree {

void fill(CmDecisionManager& decisions, int controlCount);
void fillDocument(CmDocument& document);

// Every field of every decision, the document settings and their order, as one text: two
// models are the same exactly when their descriptions are.
QStringList describe(const CmDecisionManager& decisions);
QStringList describe(const CmDocument& document);

} // namespace SyntheticTree
