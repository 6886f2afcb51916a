#include "runtime/WebTreeReader.h"

#include "base/ResourceStrings.h"
#include "lang/RecordFields.h"
#include "persist/FileBytes.h"
#include "runtime/RuntimeControl.h"
#include "runtime/WebNotationReader.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr int UnreadableId = 33101;
constexpr int MissingElementId = 33102;
constexpr int UnexpectedElementId = 33103;
constexpr int BadNumberId = 33104;
constexpr int NumberTwiceId = 33105;
constexpr int MissingPartId = 33106;
constexpr int MissingAttributeId = 33107;
constexpr int DocumentTypeId = 33108;
constexpr int EarlyFinishId = 33109;

// The compiled numbers are 16-bit, as the desktop tree's IDs.
constexpr int HighestNumber = 32767;

const QString Tab = QStringLiteral("\t");
// The format's elements carry at most two attributes. The XML reader checks the attributes of one
// element against each other, so an element with very many costs their square: refused first.
constexpr int MostAttributes = 4;
constexpr int CrowdedElementId = 33227;

// The line of the first element with more attributes than the format has, 0 when there is none.
// One pass over the bytes: comments, processing instructions and character data are skipped,
// quoted values are passed over, and each '=' inside a tag is one attribute.
qsizetype crowdedElementLine(const QByteArray& bytes)
{
    qsizetype line = 1;
    const qsizetype size = bytes.size();
    const auto skipTo = [&](qsizetype from, const char* end) {
        const qsizetype found = bytes.indexOf(end, from);
        const qsizetype stop = found < 0 ? size : found;
        line += QByteArrayView(bytes).sliced(from, stop - from).count('\n');
        return stop;
    };
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes.at(i);
        if (c == '\n')
            ++line;
        if (c != '<')
            continue;
        const QByteArrayView rest = QByteArrayView(bytes).sliced(i);
        if (rest.startsWith("<!--")) {
            i = skipTo(i + 4, "-->");
            continue;
        }
        if (rest.startsWith("<![CDATA[")) {
            i = skipTo(i + 9, "]]>");
            continue;
        }
        if (rest.startsWith("<?") || rest.startsWith("<!")) {
            i = skipTo(i + 2, ">");
            continue;
        }
        const qsizetype tagLine = line;
        int attributes = 0;
        char quote = 0;
        for (++i; i < size; ++i) {
            const char t = bytes.at(i);
            if (t == '\n')
                ++line;
            if (quote) {
                quote = t == quote ? 0 : quote;
            } else if (t == '"' || t == '\'') {
                quote = t;
            } else if (t == '=' && ++attributes > MostAttributes) {
                return tagLine;
            } else if (t == '>') {
                break;
            }
        }
    }
    return 0;
}

// The page header field as the engine reads it: quotes after a backslash, a blank after a
// closing backslash.
QString headerField(const QString& header)
{
    QString field = header;
    field.replace(QLatin1String("\""), QLatin1String("\\\""));
    if (field.endsWith(QLatin1Char('\\')))
        field += QLatin1Char(' ');
    return QLatin1Char('"') + field + QLatin1Char('"');
}

QString pictureName(const QString& reference)
{
    const QString file = QFileInfo(reference).fileName();
    return file.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ? file.chopped(4) : file;
}

} // namespace

WebTreeReader::WebTreeReader(QIODevice& device, const QString& folder) : m_xml(&device), m_folder(folder)
{
}

StorageResult WebTreeReader::readFile(const QString& path, CompiledTree& tree)
{
    QByteArray bytes;
    if (StorageResult read = FileBytes::read(path, bytes, FileBytes::Input::WebTree); !read)
        return read;
    if (const qsizetype line = crowdedElementLine(bytes); line > 0)
        return StorageResult::failure(StorageErrorKind::Corrupt,
                                      LoadResString(UnreadableId)
                                          .arg(path, LoadResString(CrowdedElementId).arg(MostAttributes))
                                          .arg(line)
                                          .arg(1));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    WebTreeReader reader(file, QFileInfo(path).absolutePath());
    if (!reader.read()) {
        const QString message = LoadResString(UnreadableId)
                                    .arg(path, reader.m_xml.errorString())
                                    .arg(reader.m_xml.lineNumber())
                                    .arg(reader.m_xml.columnNumber());
        return StorageResult::failure(StorageErrorKind::Corrupt, message);
    }
    tree = reader.tree();
    return StorageResult::success();
}

bool WebTreeReader::read()
{
    if (!nextChild())
        return m_xml.hasError() ? false : fail(LoadResString(MissingElementId).arg(QStringLiteral("TreeFile")));
    if (m_xml.name() != QLatin1String("TreeFile"))
        return unexpected(QString());
    if (!readTreeFile())
        return false;
    // Anything after the root must still be well formed.
    while (!m_xml.atEnd())
        m_xml.readNext();
    return !m_xml.hasError();
}

bool WebTreeReader::readTreeFile()
{
    bool decisions = false;
    while (nextChild()) {
        const QStringView name = m_xml.name();
        if (name == QLatin1String("Decisions")) {
            if (!readChildren(QStringLiteral("Decisions"), QLatin1String("Decision"), &WebTreeReader::readDecision))
                return false;
            decisions = true;
        } else if (name == QLatin1String("CriteriaLists")) {
            if (!readChildren(QStringLiteral("CriteriaLists"), QLatin1String("CriteriaList"), &WebTreeReader::readCriteriaList))
                return false;
        } else if (name == QLatin1String("EarlyFinish")) {
            const QString value = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).trimmed();
            if (!m_xml.hasError() && value.compare(QLatin1String("On"), Qt::CaseInsensitive) != 0
                && value.compare(QLatin1String("Off"), Qt::CaseInsensitive) != 0)
                return fail(LoadResString(EarlyFinishId).arg(value));
        } else if (name == QLatin1String("WizardTitle") || name == QLatin1String("Template")) {
            m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        } else {
            return unexpected(QStringLiteral("TreeFile"));
        }
    }
    if (m_xml.hasError())
        return false;
    return decisions || fail(LoadResString(MissingElementId).arg(QStringLiteral("Decisions")));
}

bool WebTreeReader::readChildren(const QString& parent, QLatin1String child, bool (WebTreeReader::*readOne)())
{
    while (nextChild()) {
        if (m_xml.name() != child)
            return unexpected(parent);
        if (!(this->*readOne)())
            return false;
    }
    return !m_xml.hasError();
}

bool WebTreeReader::readDecision()
{
    Decision decision;
    bool named = false;
    bool typed = false;
    QString space;
    while (nextChild(&space)) {
        named = named || m_xml.name() == QLatin1String("Number");
        typed = typed || m_xml.name() == QLatin1String("Type");
        if (!readDecisionPart(decision, space))
            return false;
    }
    if (m_xml.hasError())
        return false;
    if (!named || !typed)
        return fail(LoadResString(MissingPartId).arg(named ? QStringLiteral("Type") : QStringLiteral("Number")));
    if (!decision.picture.isEmpty())
        readPicture(decision.picture, pictureName(decision.picture));
    m_decisions.push_back(std::move(decision));
    return true;
}

bool WebTreeReader::readDecisionPart(Decision& decision, const QString& space)
{
    const QStringView name = m_xml.name();
    if (name == QLatin1String("Option") || name == QLatin1String("SubRange")) {
        QString range;
        if (name == QLatin1String("SubRange")) {
            range = attribute(QStringLiteral("From")) + QLatin1Char('-') + attribute(QStringLiteral("To"));
            if (m_xml.hasError())
                return false;
        }
        return readOption(decision, range);
    }
    if (name == QLatin1String("Range")) {
        decision.range = attribute(QStringLiteral("From")) + QLatin1Char('-') + attribute(QStringLiteral("To"));
        if (m_xml.hasError())
            return false;
    }
    const bool known = name == QLatin1String("Number") || name == QLatin1String("Name") || name == QLatin1String("Type")
                       || name == QLatin1String("LeftImg") || name == QLatin1String("Help")
                       || name == QLatin1String("ControlCaption") || name == QLatin1String("Default")
                       || name == QLatin1String("PageHeader") || name == QLatin1String("DisplayedControls")
                       || name == QLatin1String("Range") || name == QLatin1String("Action");
    if (!known)
        return unexpected(QStringLiteral("Decision"));
    const QString element = name.toString();
    const QString text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    if (m_xml.hasError())
        return false;
    if (element == QLatin1String("Number")) {
        const std::optional<int> number = controlNumber(text);
        if (!number)
            return false;
        if (m_numbers.contains(*number))
            return fail(LoadResString(NumberTwiceId).arg(*number));
        m_numbers.insert(*number);
        decision.number = *number;
    } else if (element == QLatin1String("DisplayedControls")) {
        const std::optional<int> number = controlNumber(text);
        if (!number)
            return false;
        // The first line is the decision itself; a control shown twice is shown once.
        if (*number != decision.number && !decision.displayed.contains(*number))
            decision.displayed.append(*number);
    } else if (element == QLatin1String("Name")) {
        decision.name = text;
    } else if (element == QLatin1String("Type")) {
        decision.type = text;
    } else if (element == QLatin1String("LeftImg")) {
        decision.picture = text;
    } else if (element == QLatin1String("ControlCaption")) {
        decision.caption = text;
    } else if (element == QLatin1String("PageHeader")) {
        decision.header = text;
    } else if (element == QLatin1String("Default")) {
        // Without indentation the compiler took it from the first option: not the control's own.
        if (space.endsWith(QLatin1Char('\t')))
            decision.defaultValue = text;
    } else if (element == QLatin1String("Action")) {
        (decision.options.isEmpty() ? decision.preActionElements : decision.options.last().actionElements).append(text);
    }
    return true;
}

bool WebTreeReader::readOption(Decision& decision, const QString& range)
{
    Option option;
    QString text;
    bool leading = true;
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::Characters:
            if (leading)
                text += m_xml.text();
            break;
        case QXmlStreamReader::StartElement:
            if (m_xml.name() != QLatin1String("Action"))
                return unexpected(range.isNull() ? QStringLiteral("Option") : QStringLiteral("SubRange"));
            leading = false;
            option.actionElements.append(m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement));
            if (m_xml.hasError())
                return false;
            break;
        case QXmlStreamReader::EndElement:
            // The option's text is its first line; the line feed after it is layout.
            option.text = range.isNull() ? text.section(QLatin1Char('\n'), 0, 0) : range;
            decision.options.append(std::move(option));
            return true;
        default:
            break;
        }
    }
    return false;
}

bool WebTreeReader::readCriteriaList()
{
    CompiledTree::Table table{attribute(QStringLiteral("Name")), {}};
    if (m_xml.hasError())
        return false;
    // Each item names its fields; the longest item has every column.
    QStringList headers;
    CsvTable::Rows items;
    while (nextChild()) {
        if (m_xml.name() != QLatin1String("CriteriaItem"))
            return unexpected(QStringLiteral("CriteriaList"));
        QStringList names;
        QStringList values;
        while (nextChild()) {
            if (m_xml.name() != QLatin1String("Category"))
                return unexpected(QStringLiteral("CriteriaItem"));
            names.append(attribute(QStringLiteral("Name")));
            values.append(m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement));
            if (m_xml.hasError())
                return false;
        }
        if (m_xml.hasError())
            return false;
        if (names.size() > headers.size())
            headers = names;
        items.append(values);
    }
    if (m_xml.hasError())
        return false;
    table.rows.reserve(items.size() + 1);
    table.rows.append(headers);
    table.rows.append(items);
    m_tables.append(std::move(table));
    return true;
}

bool WebTreeReader::nextChild(QString* space)
{
    QString blank;
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (space)
                *space = blank;
            return true;
        case QXmlStreamReader::EndElement:
            return false;
        case QXmlStreamReader::Characters:
            // Appended in place: a run of many pieces of white space costs their length only.
            if (m_xml.isWhitespace())
                blank += m_xml.text();
            else
                blank.clear();
            break;
        case QXmlStreamReader::DTD:
            // Entity declarations would let a small file grow without bound.
            return fail(LoadResString(DocumentTypeId));
        default:
            break;
        }
    }
    return false;
}

bool WebTreeReader::fail(const QString& message)
{
    if (!m_xml.hasError())
        m_xml.raiseError(message);
    return false;
}

bool WebTreeReader::unexpected(const QString& parent)
{
    return fail(LoadResString(UnexpectedElementId).arg(m_xml.name().toString(), parent.isEmpty() ? QStringLiteral("-") : parent));
}

QString WebTreeReader::attribute(const QString& name)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    if (!attributes.hasAttribute(name)) {
        fail(LoadResString(MissingAttributeId).arg(m_xml.name().toString(), name));
        return QString();
    }
    return attributes.value(name).toString();
}

std::optional<int> WebTreeReader::controlNumber(const QString& text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok || number < 1 || number > HighestNumber) {
        fail(LoadResString(BadNumberId).arg(text.left(40)));
        return std::nullopt;
    }
    return number;
}

void WebTreeReader::readPicture(const QString& reference, const QString& name)
{
    const QString key = name.toCaseFolded();
    if (key.isEmpty() || m_pictures.contains(key))
        return;
    // The compiler exports pictures beside the file whatever folder the references name. Only a
    // plain file of a picture's size is read: never a device or a pipe a hostile path names.
    QFileInfo info(QDir(m_folder), reference);
    if (!info.isFile())
        info = QFileInfo(QDir(m_folder), QFileInfo(reference).fileName());
    QByteArray bytes;
    if (FileBytes::read(info.filePath(), bytes, FileBytes::Input::Picture))
        m_pictures.insert(key, bytes);
}

CompiledTree WebTreeReader::tree() const
{
    QHash<int, QString> names;
    for (const Decision& decision : m_decisions) {
        if (!decision.name.trimmed().isEmpty())
            names.insert(decision.number, decision.name.trimmed());
    }
    const WebNotationReader notation(names);
    CompiledTree tree;
    tree.rulesText = QStringLiteral("BEGIN\r\n");
    for (const Decision& decision : m_decisions)
        tree.rulesText += record(decision, notation) + QLatin1String("\r\n");
    tree.tables = m_tables;
    tree.pictures = m_pictures;
    return tree;
}

QString WebTreeReader::record(const Decision& decision, const WebNotationReader& notation)
{
    QStringList displayed;
    for (const int number : decision.displayed)
        displayed.append(QString::number(number));
    QStringList fields{QString::number(decision.number),
                       RecordFields::Quoted(displayed.join(QLatin1Char(','))),
                       RecordFields::Quoted(decision.name),
                       RecordFields::Quoted(decision.picture.isEmpty() ? QString() : pictureName(decision.picture)),
                       QString(),
                       headerField(notation.references(decision.header)),
                       RecordFields::Quoted(decision.type)};
    if (!decision.defaultValue.isEmpty())
        fields.append(RecordFields::Quoted(QLatin1Char('&') + decision.defaultValue));
    if (!decision.caption.isEmpty())
        fields.append(RecordFields::Quoted(QLatin1Char('$') + decision.caption));
    const auto addActions = [&](const QStringList& elements) {
        for (const QString& element : elements) {
            for (const QString& line : notation.actions(element))
                fields.append(RecordFields::Quoted(line));
        }
    };
    addActions(decision.preActionElements);
    for (const Option& option : decision.options) {
        fields.append(RecordFields::Quoted(QLatin1Char('^') + option.text));
        addActions(option.actionElements);
    }
    RuntimeControl control;
    control.type = RuntimeControl::interfaceFromName(decision.type);
    if (control.isNumeric() && decision.options.isEmpty() && !decision.range.isEmpty())
        fields.append(RecordFields::Quoted(QLatin1Char('^') + decision.range));
    return fields.join(Tab) + Tab;
}
