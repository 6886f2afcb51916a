#include "vcs/ReferenceUpdate.h"

#include "edit/RenameReferences.h"
#include "vcs/ControlProperties.h"

#include <algorithm>

namespace {

bool takesTarget(QStringView word)
{
    return word == u"!GO" || word == u"!DEFAULT" || word == u"!SET";
}

// A name no control can have: a stop on the way when names trade places.
QString placeholder(qsizetype index)
{
    return QStringLiteral("\x01%1\x01").arg(index);
}

} // namespace

void ReferenceUpdate::add(const QString& oldName, const QString& newName)
{
    if (oldName.isEmpty() || oldName == newName || m_names.contains(oldName))
        return;
    m_names.insert(oldName, newName);
    m_upperNames.insert(oldName.toUpper(), newName);
    m_lengths.insert(oldName.size());
}

QList<std::pair<QString, QString>> ReferenceUpdate::needed(const QString& text, bool isAction) const
{
    QList<std::pair<QString, QString>> renames;
    // Most texts refer to no renamed control: a name of a length no old name has is passed
    // over without making a string of it.
    const auto note = [&](qsizetype from, qsizetype length) {
        if (!m_lengths.contains(length))
            return;
        const QString name = text.mid(from, length);
        const auto found = m_names.constFind(name);
        if (found != m_names.constEnd() && !renames.contains(std::pair{name, found.value()}))
            renames.append({name, found.value()});
    };
    for (qsizetype open = text.indexOf(QLatin1String("[[")); open >= 0; open = text.indexOf(QLatin1String("[["), open + 1)) {
        const qsizetype close = text.indexOf(QLatin1String("]]"), open + 2);
        if (close < 0)
            break;
        note(open + 2, close - open - 2);
    }
    if (isAction) {
        // The target of !GO, !SET or !DEFAULT as the rename rule reads it: after the first
        // blank, up to an "=", blanks around it left out.
        const qsizetype blank = text.indexOf(QLatin1Char(' '));
        if (blank >= 0 && takesTarget(QStringView(text).left(blank))) {
            const qsizetype equals = text.indexOf(QLatin1Char('='), blank + 1);
            qsizetype start = blank + 1;
            qsizetype end = equals < 0 ? text.size() : equals;
            while (start < end && text.at(start).isSpace())
                ++start;
            while (end > start && text.at(end - 1).isSpace())
                --end;
            note(start, end - start);
        }
    }
    return renames;
}

QString ReferenceUpdate::renamed(const QString& text, bool isAction) const
{
    const auto rename = [isAction](const QString& line, const QString& from, const QString& to) {
        return isAction ? RenameReferences::InAction(line, from, to) : RenameReferences::InReference(line, from, to);
    };
    const QList<std::pair<QString, QString>> renames = needed(text, isAction);
    if (renames.isEmpty())
        return text;
    if (renames.size() == 1)
        return rename(text, renames.first().first, renames.first().second);
    QString result = text;
    for (qsizetype i = 0; i < renames.size(); ++i)
        result = rename(result, renames.at(i).first, placeholder(i));
    for (qsizetype i = 0; i < renames.size(); ++i)
        result = rename(result, placeholder(i), renames.at(i).second);
    return result;
}

QString ReferenceUpdate::header(const QString& text) const
{
    return renamed(text, false);
}

QString ReferenceUpdate::action(const QString& line) const
{
    return line.startsWith(QLatin1Char('!')) ? renamed(line, true) : line;
}

bool ReferenceUpdate::applyTo(ControlData& control) const
{
    bool changed = false;
    for (auto& [key, value] : control.properties) {
        if (key == ControlProperties::Header && value.contains(QLatin1String("[["))) {
            QString updated = header(value);
            if (updated != value) {
                value = std::move(updated);
                changed = true;
            }
        } else if (key == ControlProperties::Shows) {
            const QList<QStringView> shown = QStringView(value).split(u',');
            if (std::none_of(shown.begin(), shown.end(), [this](QStringView entry) { return m_lengths.contains(entry.size()); }))
                continue;
            QStringList entries = value.split(QLatin1Char(','));
            bool renamedEntry = false;
            for (QString& entry : entries) {
                const auto found = m_upperNames.constFind(entry.toUpper());
                if (found != m_upperNames.constEnd()) {
                    entry = found.value();
                    renamedEntry = true;
                }
            }
            if (renamedEntry) {
                QString updated = entries.join(QLatin1Char(','));
                changed = changed || updated != value;
                value = std::move(updated);
            }
        }
    }
    for (QString& line : control.lines) {
        if (!line.startsWith(QLatin1Char('!')))
            continue;
        QString updated = action(line);
        if (updated != line) {
            line = std::move(updated);
            changed = true;
        }
    }
    return changed;
}

QSet<qint16> ReferenceUpdate::applyTo(ProjectData& project) const
{
    QSet<qint16> changed;
    if (isEmpty())
        return changed;
    for (ControlData& control : project.controls) {
        if (applyTo(control))
            changed.insert(control.id);
    }
    return changed;
}

void Renumber::apply(ProjectData& project, const QHash<qint16, qint16>& numbers)
{
    if (numbers.isEmpty())
        return;
    ReferenceUpdate references;
    for (auto number = numbers.constBegin(); number != numbers.constEnd(); ++number)
        references.add(QString::number(number.key()), QString::number(number.value()));
    references.applyTo(project);
    for (ControlData& control : project.controls)
        control.id = numbers.value(control.id, control.id);
    std::map<qint16, QRectF> layout;
    for (const auto& [id, place] : project.layout)
        layout.insert_or_assign(numbers.value(id, id), place);
    project.layout = std::move(layout);
}
