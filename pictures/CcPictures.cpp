#include "pictures/CcPictures.h"

#include "base/IPrompt.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "compile/PictureExport.h"
#include "edit/CcUndo.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionProperties.h"
#include "model/CmDocument.h"
#include "persist/FileBytes.h"
#include "pictures/PictureName.h"
#include "validate/ControlLocation.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace {

constexpr int ProgramNameId = 30000;
constexpr int ImportTitleId = 33707;
constexpr int ImportFilterId = 33708;
constexpr int NameQuestionId = 33709;
constexpr int NotAcceptedFormatId = 33710;
constexpr int ReplaceQuestionId = 33711;
constexpr int NameTakenId = 33712;
constexpr int RenameTitleId = 33713;
constexpr int RemoveTitleId = 33714;
constexpr int RemoveQuestionId = 33715;
constexpr int RemoveUsedQuestionId = 33716;
constexpr int ExportTitleId = 33717;
constexpr int ExportFilterId = 33718;
constexpr int ChooseQuestionId = 33719;
constexpr int NewNameQuestionId = 33720;
constexpr int ShowOnSelectedId = 33721;

// The kinds the program accepts, as the image reader names them.
bool acceptedFormat(const QByteArray& format)
{
    return format == "bmp" || format == "gif" || format == "jpeg" || format == "png";
}

} // namespace

CcPictures::CcPictures(CmDocument& document, CmDecisionManager& decisions, IPrompt& prompt, QObject* parent)
    : QObject(parent), m_document(document), m_decisions(decisions), m_library(document, decisions), m_prompt(prompt)
{
}

void CcPictures::setUndo(CcUndo* undo)
{
    m_undo = undo;
}

QImage CcPictures::Image(const QString& name) const
{
    QByteArray bytes;
    QImage image;
    if (m_library.Read(name, bytes))
        image.loadFromData(bytes);
    return image;
}

void CcPictures::warn(const QString& text)
{
    m_prompt.MessageBox(text, LoadResString(ProgramNameId), PromptButtons::Ok, PromptIcon::Exclamation);
}

void CcPictures::record(qint16 kind, const QString& name, const QVariant& data, const QVariant& oldValue,
                        const QVariant& newValue)
{
    if (m_undo)
        m_undo->AddCommand(kind, name, data, oldValue, newValue);
}

bool CcPictures::Import(const QString& filePath, const QString& name)
{
    return ProcedureBoundary::runOr("CcPictures.Import", false, [&] {
        if (const QString problem = PictureName::Problem(name); !problem.isEmpty()) {
            warn(problem);
            return false;
        }
        QByteArray bytes;
        if (StorageResult read = FileBytes::read(filePath, bytes, FileBytes::Input::Picture); !read) {
            warn(read.message);
            return false;
        }
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        if (!acceptedFormat(reader.format()) || reader.read().isNull()) {
            warn(LoadResString(NotAcceptedFormatId).arg(QDir::toNativeSeparators(filePath)));
            return false;
        }
        QByteArray before;
        const bool replacing = m_library.Read(name, before).ok();
        if (replacing && m_prompt.MessageBox(LoadResString(ReplaceQuestionId).arg(name), LoadResString(ImportTitleId),
                                             PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes)
            return false;
        if (StorageResult written = m_library.Put(name, bytes); !written) {
            warn(written.message);
            return false;
        }
        if (replacing) {
            record(CcUndo::PictureChanged, name, {}, before, bytes);
        } else {
            record(CcUndo::PictureAdded, name, {}, {}, bytes);
            emit pictureAdded(name);
        }
        return true;
    });
}

bool CcPictures::Rename(const QString& oldName, const QString& newName)
{
    return ProcedureBoundary::runOr("CcPictures.Rename", false, [&] {
        if (const QString problem = PictureName::Problem(newName); !problem.isEmpty()) {
            warn(problem);
            return false;
        }
        if (oldName == newName)
            return true;
        if (StorageResult renamed = m_library.Rename(oldName, newName); !renamed) {
            warn(renamed.message);
            return false;
        }
        // The references move as part of this one step, not as steps of their own.
        CcUndo* const undo = m_undo;
        const bool suspended = undo != nullptr && undo->Enabled();
        if (undo != nullptr)
            undo->setEnabled(true);
        const QList<qint16> followed = m_library.Follow(oldName, newName);
        if (undo != nullptr)
            undo->setEnabled(suspended);
        QVariantList numbers;
        for (const qint16 number : followed)
            numbers.append(int{number});
        record(CcUndo::PictureChanged, newName, numbers, oldName, newName);
        emit pictureRenamed(oldName, newName);
        return true;
    });
}

bool CcPictures::Remove(const QString& name)
{
    return ProcedureBoundary::runOr("CcPictures.Remove", false, [&] {
        QStringList users;
        for (const CmDecisionItem* user : m_library.UsersOf(name))
            users.append(ControlLocation::NameOf(*user));
        const QString question = users.isEmpty()
                                     ? LoadResString(RemoveQuestionId).arg(name)
                                     : LoadResString(RemoveUsedQuestionId).arg(name, users.join(QStringLiteral(", ")));
        if (m_prompt.MessageBox(question, LoadResString(RemoveTitleId), PromptButtons::YesNo,
                                users.isEmpty() ? PromptIcon::Question : PromptIcon::Exclamation) != PromptAnswer::Yes)
            return false;
        QByteArray bytes;
        StorageResult done = m_library.Read(name, bytes);
        if (done)
            done = m_library.Remove(name);
        if (!done) {
            warn(done.message);
            return false;
        }
        record(CcUndo::PictureRemoved, name, {}, bytes, {});
        emit pictureRemoved(name);
        return true;
    });
}

bool CcPictures::ExportTo(const QString& name, const QString& filePath)
{
    return ProcedureBoundary::runOr("CcPictures.ExportTo", false, [&] {
        const StorageResult written =
            PictureExport::ExportTo(m_document.Storage().pictures(), name, filePath, m_document.OpenFiles());
        if (!written)
            warn(written.message);
        return written.ok();
    });
}

StorageResult CcPictures::Export(const QString& name, const QString& folder) const
{
    return PictureExport::Export(m_document.Storage().pictures(), name, folder, m_document.OpenFiles());
}

std::optional<QString> CcPictures::ChoosePicture(int titleId)
{
    const QStringList names = Names();
    if (names.size() <= 1)
        return names.isEmpty() ? std::nullopt : std::optional<QString>(names.first());
    return m_prompt.ChooseItem(LoadResString(ChooseQuestionId), LoadResString(titleId), names, QString());
}

std::optional<QString> CcPictures::askName(int titleId, const QString& suggested, const QString& keep)
{
    QString answer = suggested;
    for (;;) {
        const QString question =
            keep.isEmpty() ? LoadResString(NameQuestionId) : LoadResString(NewNameQuestionId).arg(keep);
        const std::optional<QString> given = m_prompt.InputBox(question, LoadResString(titleId), answer);
        if (!given)
            return std::nullopt;
        answer = given->trimmed();
        QString problem = PictureName::Problem(answer);
        // Another picture's name; a new import may replace it, a rename may not take it.
        if (problem.isEmpty() && !keep.isEmpty() && answer.compare(keep, Qt::CaseInsensitive) != 0 &&
            Names().contains(answer, Qt::CaseInsensitive))
            problem = LoadResString(NameTakenId).arg(answer);
        if (problem.isEmpty())
            return answer;
        warn(problem);
    }
}

void CcPictures::ImportPicture()
{
    const std::optional<QString> path =
        m_prompt.OpenFileDialog(LoadResString(ImportTitleId), LoadResString(ImportFilterId), m_document.CurrentPath());
    if (!path || path->isEmpty())
        return;
    m_document.setCurrentPath(QFileInfo(*path).absolutePath());
    const std::optional<QString> name = askName(ImportTitleId, PictureName::FromFileName(*path), QString());
    if (!name || !Import(*path, *name))
        return;
    // The picture is usually meant for the control at hand.
    CmDecisionItem* selected = m_decisions.Selected();
    if (selected && selected->Picture() != *name &&
        m_prompt.MessageBox(LoadResString(ShowOnSelectedId).arg(*name, ControlLocation::NameOf(*selected)),
                            LoadResString(ImportTitleId), PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes)
        MDecisionDataUtil::SetProperty(*selected, MDecisionDataUtil::PictureLabel, *name);
}

void CcPictures::RenamePicture()
{
    const std::optional<QString> picture = ChoosePicture(RenameTitleId);
    if (!picture)
        return;
    if (const std::optional<QString> name = askName(RenameTitleId, *picture, *picture))
        Rename(*picture, *name);
}

void CcPictures::RemovePicture()
{
    if (const std::optional<QString> picture = ChoosePicture(RemoveTitleId))
        Remove(*picture);
}

void CcPictures::ExportPicture()
{
    const std::optional<QString> picture = ChoosePicture(ExportTitleId);
    if (!picture)
        return;
    const QString suggested = QDir(m_document.CurrentPath()).filePath(*picture + QLatin1String(".jpg"));
    std::optional<QString> path =
        m_prompt.SaveFileDialog(LoadResString(ExportTitleId), LoadResString(ExportFilterId), suggested);
    if (!path || path->isEmpty())
        return;
    if (QFileInfo(*path).suffix().isEmpty())
        path->append(QLatin1String(".jpg"));
    m_document.setCurrentPath(QFileInfo(*path).absolutePath());
    ExportTo(*picture, *path);
}
