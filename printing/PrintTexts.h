#pragma once

#include "printing/PrintSelections.h"

#include <QString>

#include <memory>

class CmDecisionManager;
class StorageDocument;
class QTextDocument;

// The flowing parts of a printed project, each as a text document that the page composer breaks
// into pages: the summary of the controls, the selectors' tables and the pictures. Sizes are in
// the units of the device the documents are laid out for; width is the printable width there.
namespace PrintTexts {

// Every control in decision order, with the properties the selections ask for.
std::unique_ptr<QTextDocument> Summary(const CmDecisionManager& decisions, const PrintSelections& selections,
                                       const QString& title);
// One table per stored selector, its header row repeated on every page the table runs over;
// an external selector is named with where its table lives.
std::unique_ptr<QTextDocument> Selectors(StorageDocument& storage);
// Each picture under its name on a page of its own, at its screen size (scale: device units per
// picture pixel), shrunk to fit the page.
std::unique_ptr<QTextDocument> Pictures(const StorageDocument& storage, double width, double height, double scale);

} // namespace PrintTexts
