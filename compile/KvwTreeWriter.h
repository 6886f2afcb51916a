#pragma once

#include "persist/StorageNode.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class CmDecisionItem;
class KvwNotation;
class NewIntIdTable;

// What the web tree file says besides the decisions.
struct KvwFileSettings {
    // The output path, as chosen.
    QString path;
    bool earlyFinish = false;
    QString wizardTitle;
    QString templatePath;
    // Prefixes every picture reference; empty for pictures beside the file.
    QString imagePath;
};

// The text of a web tree file: the header lines, one Decision block per compiled decision and
// the internal selectors. Lines end with LF and the whole text with one CR LF.
class KvwTreeWriter {
public:
    KvwTreeWriter(const NewIntIdTable& numbers, const KvwNotation& notation);

    // The file's bytes (UTF-8); progress gets the percentage of decisions written, when it moves.
    QByteArray Write(const KvwFileSettings& settings, const StorageNode& project,
                  const std::function<void(int)>& progress = {}) const;

    QString Header(const KvwFileSettings& settings) const;
    // dropAction (test only, see Write) leaves out the block's first action that sets a value or
    // narrows a selector, and is cleared when one was left out.
    QString DecisionBlock(const CmDecisionItem& decision, const QString& imagePath, bool* dropAction = nullptr) const;
    // Empty when the project holds no internal selector.
    QString CriteriaLists(const StorageNode& project) const;

    // The internal selectors of a project, in the order the project explorer lists them.
    static QStringList SelectorNames(const StorageNode& project);
    // The name a picture is exported under and referred to by: characters that would reach
    // another folder or that file names cannot hold ("/", "\", ":", "*", "?", quotes, "<", ">",
    // "|", control characters) become "_", and so do leading dots: "../x" is written as "___x"
    // in the output's folder.
    static QString PictureFileName(const QString& picture);
    static QString PictureReference(const QString& picture, const QString& imagePath);
    // The file names of the pictures of one compile (keyed by the picture's name in upper case):
    // each cleaned by PictureFileName, and made unique without regard to letter case by "~2",
    // "~3" ... in the order given, so that two pictures never go to one file.
    static QHash<QString, QString> PictureFileNames(const QStringList& pictures);
    // This tree's file name for a picture: its entry of PictureFileNames over the decisions'
    // pictures in number order. The pictures' export must use the same names.
    QString PictureFile(const QString& picture) const;

private:
    QString defaultLine(const CmDecisionItem& decision) const;
    QString displayedControls(const CmDecisionItem& decision) const;
    static QString criteriaList(const StorageNode& project, const QString& name);
    static QString pictureReference(const QString& fileName, const QString& imagePath);

    const NewIntIdTable& m_numbers;
    const KvwNotation& m_notation;
    QHash<QString, QString> m_pictureFiles;
};
