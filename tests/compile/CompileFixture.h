#pragma once

#include "compile/NewIntIdTable.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"

#include <QList>
#include <QString>
#include <QStringList>

class CmDecisionItem;

// A project in memory for the compiler tests: decisions built in code, selectors and pictures
// in the document's storage.
class CompileFixture {
public:
    CmDecisionItem& add(qint16 id, const QString& name, qint16 type, const QStringList& lines = {});
    void number() { numbers.build(decisions); }
    void addSelector(const QString& name, const QList<QStringList>& rows);
    // A small picture, stored as PNG bytes as an imported bitmap would be.
    void addPicture(const QString& name);

    // The tree the notation tests use: Start 1 (Radio), Age 5 (NumBox), Member 7 (Check),
    // Go 9 (Command), Color 12 (Radio), Name 15 (StringBox); compiled as 1 to 6.
    void addNotationTree();

    CmDecisionManager decisions;
    CmDocument document;
    NewIntIdTable numbers;
};
