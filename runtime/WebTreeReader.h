#pragma once

#include "base/StorageResult.h"
#include "runtime/CompiledTree.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <optional>
#include <vector>

class QIODevice;
class WebNotationReader;

// Reads a web tree file (.kvw) into what the engine runs: each Decision becomes the stored
// decision record the desktop tree file holds for it, its actions turned back from the web
// notation (WebNotationReader), and each CriteriaList a selector table.
//
// What the web tree file does not carry, and how it is read:
// - a Default written without indentation was taken from the first option by the compiler; the
//   desktop tree has no default there, so it is left out;
// - a numeric control without sub-ranges runs on its Range, as the desktop record's closing
//   "^MIN-MAX" option;
// - popup help lines and the desktop help number are not in the file; the Help element (the
//   web help address) is not run and is left out;
// - a picture is named by its exported file, so characters the file name could not hold read as
//   "_"; the picture is read from beside the file when it is there;
// - line breaks in captions, headers, options and values were written as "<BR>" and stay so;
//   a backslash that escaped "<" or ">" is gone and a blank follows the sign;
// - a selector row whose first field was empty is not in the file, and a selector without rows
//   has lost its column names;
// - the wizard's EarlyFinish setting is checked but not run: only !EARLYFINISH allows finishing,
//   as in the desktop tree.
// A damaged or hostile file ends in a clear message, never in a crash: elements are read flat,
// each nesting the format does not have is refused at once, and numbers are checked.
class WebTreeReader {
public:
    static StorageResult readFile(const QString& path, CompiledTree& tree);

private:
    struct Option {
        QString text;
        QStringList actionElements;
    };
    struct Decision {
        int number = 0;
        QString name;
        QString type;
        QString picture;
        QString caption;
        QString header;
        QString defaultValue;
        QString range; // "FROM-TO" of a numeric control, empty without a Range
        QList<int> displayed;
        QStringList preActionElements;
        QList<Option> options;
    };

    WebTreeReader(QIODevice& device, const QString& folder);

    bool read();
    bool readTreeFile();
    // Reads each child of the current element, which must be a child, with readOne.
    bool readChildren(const QString& parent, QLatin1String child, bool (WebTreeReader::*readOne)());
    bool readDecision();
    bool readDecisionPart(Decision& decision, const QString& space);
    // range: the sub-range's "FROM-TO"; null for an Option.
    bool readOption(Decision& decision, const QString& range);
    bool readCriteriaList();
    bool nextChild(QString* space = nullptr);
    bool fail(const QString& message);
    bool unexpected(const QString& parent);
    QString attribute(const QString& name);
    std::optional<int> controlNumber(const QString& text);
    void readPicture(const QString& reference, const QString& name);

    CompiledTree tree() const;
    static QString record(const Decision& decision, const WebNotationReader& notation);

    QXmlStreamReader m_xml;
    QString m_folder;
    std::vector<Decision> m_decisions;
    QSet<int> m_numbers;
    QList<CompiledTree::Table> m_tables;
    QHash<QString, QByteArray> m_pictures;
};
