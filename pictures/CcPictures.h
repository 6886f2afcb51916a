#pragma once

#include "base/StorageResult.h"
#include "model/PictureLibrary.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class CcUndo;
class CmDecisionManager;
class CmDocument;
class IPrompt;

// The picture commands: import a bitmap, GIF, JPEG or PNG file into the project, rename a
// picture (the controls showing it follow), remove one (after naming the controls that still
// show it), export one as a JPEG file. Each change is one undo step. The commands without
// arguments ask their questions through the prompt.
class CcPictures final : public QObject {
    Q_OBJECT
public:
    CcPictures(CmDocument& document, CmDecisionManager& decisions, IPrompt& prompt, QObject* parent = nullptr);

    // Where the commands record; may be null.
    void setUndo(CcUndo* undo);

    QStringList Names() const { return m_library.Names(); }
    // A null image when there is no such picture or its bytes are no picture.
    QImage Image(const QString& name) const;

    // The file's bytes are kept as they are; a file of another kind is refused with a message.
    bool Import(const QString& filePath, const QString& name);
    bool Rename(const QString& oldName, const QString& newName);
    bool Remove(const QString& name);
    // As a JPEG file at filePath.
    bool ExportTo(const QString& name, const QString& filePath);
    // As the web compile writes it: folder/name.jpg.
    StorageResult Export(const QString& name, const QString& folder) const;

    // The commands as the menus call them. An import offers to show the picture on the selected
    // control.
    void ImportPicture();
    void RenamePicture();
    void RemovePicture();
    void ExportPicture();
    // Asks which picture; the only one there is needs no question. Empty when cancelled or the
    // project holds none.
    std::optional<QString> ChoosePicture(int titleId);

signals:
    void pictureAdded(const QString& name);
    void pictureRemoved(const QString& name);
    void pictureRenamed(const QString& oldName, const QString& newName);

private:
    // Asks until the answer is a usable name that no other picture has; empty when cancelled.
    std::optional<QString> askName(int titleId, const QString& suggested, const QString& keep);
    void record(qint16 kind, const QString& name, const QVariant& data, const QVariant& oldValue,
                const QVariant& newValue);
    void warn(const QString& text);

    CmDocument& m_document;
    CmDecisionManager& m_decisions;
    PictureLibrary m_library;
    IPrompt& m_prompt;
    QPointer<CcUndo> m_undo;
};
