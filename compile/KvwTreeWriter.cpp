#include "compile/KvwTreeWriter.h"

#include "base/ParallelMap.h"
#include "compile/KvwLines.h"
#include "compile/KvwNotation.h"
#include "compile/NewIntIdTable.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "model/OptionRules.h"
#include "persist/ProjectNodes.h"
#include "selectors/SelectorText.h"

#include <QSet>

using namespace KvwLines;

namespace {

// Decisions written together between two progress reports.
constexpr int ParallelSlice = 2048;

bool takesDefaultFromOptions(qint16 type)
{
    return type == MDecisionDataUtil::Combo || type == MDecisionDataUtil::List
           || type == MDecisionDataUtil::MultiList || type == MDecisionDataUtil::Radio;
}

// A fault planted for tests only: with KESTROVA_FAULT_DROP_WEB_ACTION=1 the web tree leaves out
// the tree's first !SET, !DEFAULT, !KILL or !SORT, so that tests can show a run on the web tree
// parting from the desktop run. (The first action of all may be a !GO to the next control, which
// changes nothing when it is missing.)
bool dropsWebAction()
{
    return qEnvironmentVariable("KESTROVA_FAULT_DROP_WEB_ACTION") == QLatin1String("1");
}

QStringList withoutFirstChange(const QStringList& lines, bool& drop)
{
    QStringList kept = lines;
    for (qsizetype i = 0; drop && i < kept.size(); ++i) {
        for (BlockLine::Keyword keyword : {BlockLine::Set, BlockLine::Default, BlockLine::Kill, BlockLine::Sort}) {
            if (BlockLine::IsKeyword(kept.at(i), keyword)) {
                kept.removeAt(i);
                drop = false;
                break;
            }
        }
    }
    return kept;
}

bool nodeExists(const StorageNode& project, const QString& path)
{
    bool found = false;
    return project.exists(path, found).ok() && found;
}

} // namespace

KvwTreeWriter::KvwTreeWriter(const NewIntIdTable& numbers, const KvwNotation& notation)
    : m_numbers(numbers), m_notation(notation)
{
    QStringList pictures;
    for (const CmDecisionItem* decision : m_numbers.decisions()) {
        if (!decision->Picture().isEmpty())
            pictures.append(decision->Picture());
    }
    m_pictureFiles = PictureFileNames(pictures);
}

QHash<QString, QString> KvwTreeWriter::PictureFileNames(const QStringList& pictures)
{
    QHash<QString, QString> files;
    QSet<QString> taken;
    for (const QString& picture : pictures) {
        const QString key = picture.toUpper();
        if (files.contains(key))
            continue;
        // Compared without letter case: the folder may be on a file system that ignores it.
        const QString cleaned = PictureFileName(picture);
        QString file = cleaned;
        for (int n = 2; taken.contains(file.toUpper()); ++n)
            file = cleaned + QLatin1Char('~') + QString::number(n);
        taken.insert(file.toUpper());
        files.insert(key, file);
    }
    return files;
}

QString KvwTreeWriter::PictureFile(const QString& picture) const
{
    return m_pictureFiles.value(picture.toUpper(), PictureFileName(picture));
}

QByteArray KvwTreeWriter::Write(const KvwFileSettings& settings, const StorageNode& project,
                                const std::function<void(int)>& progress) const
{
    QByteArray text = Header(settings).toUtf8();
    const int count = m_numbers.count();
    int reported = -1;
    bool dropAction = dropsWebAction();
    // The blocks of a slice are written side by side on every core, each in UTF-8 at once, so the
    // whole file is never held twice; between slices this thread reports progress. The planted
    // fault drops the first change in tree order, so it goes one by one.
    const int slice = dropAction ? 1 : ParallelSlice;
    for (int first = 1; first <= count; first += slice) {
        const int size = std::min(slice, count - first + 1);
        if (dropAction) {
            text += DecisionBlock(*m_numbers.byNumber(first), settings.imagePath, &dropAction).toUtf8();
        } else {
            const std::vector<QByteArray> blocks = ParallelMap<QByteArray>(size, [&](int index) {
                return DecisionBlock(*m_numbers.byNumber(first + index), settings.imagePath).toUtf8();
            });
            for (const QByteArray& block : blocks)
                text += block;
        }
        const int percent = (first + size - 1) * 100 / count;
        if (progress && percent != reported)
            progress(reported = percent);
    }
    QString tail = Close(0, QStringLiteral("Decisions"));
    tail += CriteriaLists(project);
    tail += Close(0, QStringLiteral("TreeFile"));
    // The whole text was one line written with a line end of its own.
    tail += QLatin1String("\r\n");
    return text + tail.toUtf8();
}

QString KvwTreeWriter::Header(const KvwFileSettings& settings) const
{
    QString text = QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\n");
    text += QLatin1String("<?mvDoc version='1.0' script=Morvane_Kestrova tree='") + EscapeAttribute(settings.path)
            + QLatin1String("'?>\n");
    text += Open(0, QStringLiteral("TreeFile"));
    text += Element(0, QStringLiteral("EarlyFinish"), settings.earlyFinish ? QStringLiteral("On") : QStringLiteral("Off"));
    text += Element(0, QStringLiteral("WizardTitle"), EscapeText(settings.wizardTitle));
    if (!settings.templatePath.isEmpty())
        text += Element(0, QStringLiteral("Template"), EscapeText(settings.templatePath));
    text += Open(0, QStringLiteral("Decisions"));
    return text;
}

QString KvwTreeWriter::DecisionBlock(const CmDecisionItem& decision, const QString& imagePath, bool* dropAction) const
{
    const qint16 type = decision.intControl();
    QString text = Open(1, QStringLiteral("Decision"));
    text += Element(2, QStringLiteral("Number"), QString::number(m_numbers.NewIntID(decision.intID())));
    text += Element(2, QStringLiteral("Name"), EscapeText(decision.strID()));
    text += Element(2, QStringLiteral("Type"), EscapeText(decision.strControl()));
    text += Element(2, QStringLiteral("LeftImg"),
                    decision.Picture().isEmpty() ? QString() : EscapeText(pictureReference(PictureFile(decision.Picture()), imagePath)));
    text += Element(2, QStringLiteral("Help"), EscapeText(decision.kvwHelpID()));
    text += Element(2, QStringLiteral("ControlCaption"), KvwNotation::ConvertStringToKvwFormat(decision.Caption()));
    text += defaultLine(decision);
    text += Element(2, QStringLiteral("PageHeader"),
                    KvwNotation::ConvertStringToKvwFormat(m_notation.UpdateIntIDRefs(decision.Heading())));
    text += displayedControls(decision);
    if (MDecisionDataUtil::IsNumericInterface(type))
        text += Range(2, false, decision.Min(), decision.Max());
    const QStringList lines = dropAction && *dropAction ? withoutFirstChange(decision.OptsAndActs(), *dropAction)
                                                        : decision.OptsAndActs();
    text += m_notation.GetKVWOptsAndActs(lines, MDecisionDataUtil::IsNumericInterface(type), type);
    text += Close(1, QStringLiteral("Decision"));
    return text;
}

QString KvwTreeWriter::defaultLine(const CmDecisionItem& decision) const
{
    const QString value = decision.DefaultValue().toString();
    if (!value.isEmpty())
        return Element(2, QStringLiteral("Default"), KvwNotation::ConvertStringToKvwFormat(value));
    if (!takesDefaultFromOptions(decision.intControl()))
        return QString();
    for (const QString& line : decision.OptsAndActs()) {
        if (BlockLine::IsOption(line))
            return Element(0, QStringLiteral("Default"), KvwNotation::ConvertStringToKvwFormat(BlockLine::Body(line)));
    }
    return QString();
}

QString KvwTreeWriter::displayedControls(const CmDecisionItem& decision) const
{
    const QString tag = QStringLiteral("DisplayedControls");
    QString text = Element(2, tag, QString::number(m_numbers.NewIntID(decision.intID())));
    const CmDecisionManager* decisions = decision.manager();
    for (const QString& entry : decision.Group()) {
        if (entry.isEmpty() || !decisions)
            continue;
        // An entry that names no control has been reported by the validator.
        const CmDecisionItem* shown = decisions->Item(entry);
        const qint16 number = shown ? m_numbers.NewIntID(shown->intID()) : 0;
        if (number != 0)
            text += Element(2, tag, QString::number(number));
    }
    return text;
}

QStringList KvwTreeWriter::SelectorNames(const StorageNode& project)
{
    QStringList names;
    QString folder = ProjectNodes::Databases;
    folder.chop(1);
    if (!nodeExists(project, folder))
        return names;
    StorageNode node = project;
    node.reset();
    if (!node.open(folder).ok() || !node.children(names).ok())
        return {};
    names.removeIf([](const QString& name) { return name.compare(QLatin1String("External"), Qt::CaseInsensitive) == 0; });
    return names;
}

QString KvwTreeWriter::CriteriaLists(const StorageNode& project) const
{
    const QStringList names = SelectorNames(project);
    if (names.isEmpty())
        return QString();
    QString text = Open(0, QStringLiteral("CriteriaLists"));
    for (const QString& name : names)
        text += criteriaList(project, name);
    return text + Close(0, QStringLiteral("CriteriaLists"));
}

QString KvwTreeWriter::criteriaList(const StorageNode& project, const QString& name)
{
    StorageNode node = project;
    node.reset();
    QString stored;
    SelectorText::Rows rows;
    if (node.open(ProjectNodes::Databases + name).ok() && node.readText(stored).ok())
        SelectorText::Read(stored, rows);
    QString text = Open(1, QStringLiteral("CriteriaList"), name);
    const QStringList headers = rows.value(0);
    for (qsizetype row = 1; row < rows.size(); ++row) {
        const QStringList& fields = rows.at(row);
        if (fields.isEmpty() || fields.first().isEmpty())
            continue;
        text += Open(2, QStringLiteral("CriteriaItem"), fields.first());
        for (qsizetype column = 0; column < fields.size(); ++column) {
            // A field past the headers is named by its column's place, from 1.
            const QString header = column < headers.size() ? headers.at(column) : QStringLiteral("Column%1").arg(column + 1);
            text += Element(2, QStringLiteral("Category"), KvwNotation::ConvertStringToKvwFormat(fields.at(column)), header);
        }
        text += Close(2, QStringLiteral("CriteriaItem"));
    }
    return text + Close(1, QStringLiteral("CriteriaList"));
}

QString KvwTreeWriter::PictureFileName(const QString& picture)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString name = picture;
    bool leading = true;
    for (QChar& c : name) {
        leading = leading && c == QLatin1Char('.');
        if (leading || forbidden.contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    return name;
}

QString KvwTreeWriter::PictureReference(const QString& picture, const QString& imagePath)
{
    return pictureReference(PictureFileName(picture), imagePath);
}

QString KvwTreeWriter::pictureReference(const QString& fileName, const QString& imagePath)
{
    const QString file = fileName + QLatin1String(".jpg");
    return imagePath.isEmpty() ? file : imagePath + QLatin1Char('/') + file;
}
