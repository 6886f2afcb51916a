#include "compile/KvdTreeWriter.h"

#include "compile/KvwNotation.h"
#include "compile/NewIntIdTable.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionDataConversion.h"
#include "model/MDecisionDataUtil.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"
#include "selectors/ExternalSelectorSettings.h"

#include <QFileInfo>

const QString KvdTreeWriter::CallingAppNode = QStringLiteral("\\CallingApp");

namespace {

const QString LineEnd = QStringLiteral("\r\n");
constexpr int KeyLength = 20;
constexpr int NamePartLength = 15;

bool convertsReferences(const QString& keyword)
{
    for (BlockLine::Keyword word : {BlockLine::Kill, BlockLine::Sort, BlockLine::Set, BlockLine::Default,
                                    BlockLine::If, BlockLine::ElseIf}) {
        if (keyword == BlockLine::KeywordText(word))
            return true;
    }
    return false;
}

bool isSkipped(const QString& path)
{
    return path.compare(ProjectNodes::DevFile, Qt::CaseInsensitive) == 0
           || path.compare(ProjectNodes::CustomBlock, Qt::CaseInsensitive) == 0
           || path.compare(ProjectNodes::RulesFile, Qt::CaseInsensitive) == 0
           || path.compare(KvdTreeWriter::CallingAppNode, Qt::CaseInsensitive) == 0;
}

bool isExternalSettings(const QString& path)
{
    return path.size() > ProjectNodes::ExternalDatabases.size()
           && path.startsWith(ProjectNodes::ExternalDatabases, Qt::CaseInsensitive);
}

// An external selector's record without its password: a compiled file is handed to others,
// and the desktop runtime never connects anyway.
QByteArray withoutPassword(const QByteArray& record)
{
    ExternalSelectorSettings settings = ExternalSelectorSettings::FromText(QString::fromUtf8(record));
    settings.password.clear();
    return settings.ToText().toUtf8();
}

// Copies the value of every node below from, depth first, into the same paths of to.
StorageResult copyNodes(const StorageNode& from, StorageNode to)
{
    QStringList names;
    if (StorageResult listed = from.children(names); !listed)
        return listed;
    for (const QString& name : names) {
        StorageNode source = from;
        if (StorageResult opened = source.open(name); !opened)
            return opened;
        if (isSkipped(source.path()))
            continue;
        QByteArray bytes;
        if (StorageResult read = source.readBytes(bytes); !read)
            return read;
        if (!bytes.isEmpty() && isExternalSettings(source.path()))
            bytes = withoutPassword(bytes);
        StorageNode target = to;
        target.reset();
        if (StorageResult opened = target.open(source.path()); !opened)
            return opened;
        if (!bytes.isEmpty()) {
            if (StorageResult written = target.writeBytes(bytes); !written)
                return written;
        }
        if (StorageResult copied = copyNodes(source, target); !copied)
            return copied;
    }
    return StorageResult::success();
}

StorageResult copyPictures(const StorageDocument& from, StorageDocument& to)
{
    QStringList names;
    if (StorageResult listed = from.pictures().names(names); !listed)
        return listed;
    PictureStore target = to.pictures();
    for (const QString& name : names) {
        QByteArray data;
        if (StorageResult read = from.pictures().read(name, data); !read)
            return read;
        if (StorageResult added = target.add(name, data); !added)
            return added;
    }
    return StorageResult::success();
}

StorageResult copyProperties(const StorageDocument& from, StorageDocument& to)
{
    QStringList names;
    const DocumentProperties source = from.properties();
    if (StorageResult listed = source.names(names); !listed)
        return listed;
    DocumentProperties target = to.properties();
    for (const QString& name : names) {
        QString value;
        if (StorageResult read = source.value(name, value); !read)
            return read;
        if (StorageResult written = target.setValue(name, value); !written)
            return written;
    }
    return StorageResult::success();
}

} // namespace

KvdTreeWriter::KvdTreeWriter(const NewIntIdTable& numbers, const KvwNotation& notation)
    : m_numbers(numbers), m_notation(notation)
{
}

QString KvdTreeWriter::RulesText() const
{
    QString text = QStringLiteral("BEGIN") + LineEnd;
    for (const CmDecisionItem* decision : m_numbers.decisions())
        text += Record(*decision) + LineEnd;
    return text;
}

QString KvdTreeWriter::ConvertLine(const QString& line) const
{
    if (!BlockLine::IsAction(line))
        return line;
    const QString keyword = BlockLine::ActionKeyword(line).toUpper();
    if (keyword == BlockLine::KeywordText(BlockLine::Go)) {
        const QString argument = BlockLine::ActionArgument(line);
        const QString target = argument.trimmed();
        bool numeric = false;
        const int id = target.toInt(&numeric);
        const qint16 number = numeric ? m_numbers.NewIntID(static_cast<qint16>(id)) : 0;
        if (number != 0 && id <= 32767)
            return line.left(line.size() - argument.size()) + QString::number(number);
    }
    const QString updated = m_notation.UpdateIntIDRefs(line);
    if (!convertsReferences(keyword))
        return updated;
    const QString argument = BlockLine::ActionArgument(updated);
    const QString head = updated.left(updated.size() - argument.size());
    // A selector's name and ":" stand before the expressions of !KILL and !SORT.
    const qsizetype colon = keyword == BlockLine::KeywordText(BlockLine::Kill) || keyword == BlockLine::KeywordText(BlockLine::Sort)
                                ? argument.indexOf(QLatin1Char(':'))
                                : -1;
    return head + argument.left(colon + 1) + m_notation.ConvertBooleanControlRef(argument.mid(colon + 1));
}

QString KvdTreeWriter::Record(const CmDecisionItem& decision) const
{
    // A detached copy carries the new numbers, so that the record keeps the one writer.
    CmDecisionItem copy;
    copy.Load(MDecisionDataUtil::StoreDecision(decision, decision.manager()));
    copy.setIntID(m_numbers.NewIntID(decision.intID()));
    copy.setHeading(m_notation.UpdateIntIDRefs(decision.Heading()));
    QStringList shown;
    if (const CmDecisionManager* decisions = decision.manager()) {
        for (const QString& entry : decision.Group()) {
            const CmDecisionItem* other = entry.isEmpty() ? nullptr : decisions->Item(entry);
            const qint16 number = other ? m_numbers.NewIntID(other->intID()) : 0;
            if (number != 0)
                shown.append(QString::number(number));
        }
    }
    copy.setGroup(shown);
    QStringList lines;
    lines.reserve(decision.OptsAndActs().size());
    for (const QString& line : decision.OptsAndActs())
        lines.append(ConvertLine(line));
    copy.setOptsAndActsAsRead(lines);
    return MDecisionDataUtil::StoreDecision(copy, nullptr);
}

StorageResult KvdTreeWriter::WriteInto(StorageDocument& target, const StorageDocument& project,
                                       const std::optional<QString>& callingAppKey) const
{
    if (StorageResult copied = copyNodes(project.rootNode(), target.rootNode()); !copied)
        return copied;
    if (StorageResult copied = copyPictures(project, target); !copied)
        return copied;
    if (StorageResult copied = copyProperties(project, target); !copied)
        return copied;
    StorageNode node = target.rootNode();
    if (callingAppKey) {
        if (StorageResult opened = node.open(CallingAppNode); !opened)
            return opened;
        if (StorageResult written = node.writeText(*callingAppKey); !written)
            return written;
    }
    node.reset();
    if (StorageResult opened = node.open(ProjectNodes::RulesFile); !opened)
        return opened;
    return node.writeText(RulesText());
}

QString KvdTreeWriter::CreateCallingAppKey(const QString& documentName)
{
    QString base;
    for (const QChar c : QFileInfo(documentName).completeBaseName()) {
        if (c.isLetterOrNumber() && c.unicode() < 0x80)
            base += c;
    }
    if (base.isEmpty())
        base = QStringLiteral("mvcUnknown");
    base = base.left(NamePartLength).leftJustified(NamePartLength, QLatin1Char('_'));
    const QByteArray whole = documentName.toUtf8();
    const quint16 crc = qChecksum(QByteArrayView(whole));
    const QString key = base + QLatin1Char('-') + QStringLiteral("%1").arg(crc, 4, 16, QLatin1Char('0')).toUpper();
    Q_ASSERT(key.size() == KeyLength);
    return key;
}
