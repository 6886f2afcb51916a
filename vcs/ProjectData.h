#pragma once

#include "journeys/Journey.h"
#include "selectors/SelectorText.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <utility>
#include <vector>

// A whole project as plain values: what the text form shows and what diff and merge work on,
// with no model, document or file behind it.

// One property of a control or of the project: its key and its value as text.
using TextProperty = std::pair<QString, QString>;

// One control: its number and name, the properties that differ from a new control's (in the
// fixed order of ControlProperties), and its option, action and help lines as stored.
struct ControlData {
    qint16 id = 0;
    QString name;
    QList<TextProperty> properties;
    QStringList lines;

    // Null when the property is at its default.
    const QString* value(const QString& key) const;
    // Keeps the fixed order; nullopt puts the property back to its default.
    void setValue(const QString& key, const std::optional<QString>& value);
    // How the tree and the diff name it: its name, or its number when it has none.
    QString label() const;

    bool operator==(const ControlData&) const = default;
};

// An internal selector: its table, row 1 the property names.
struct SelectorData {
    QString name;
    SelectorText::Rows rows;
    bool operator==(const SelectorData&) const = default;

    // An item row by its first cell, which names the item; a name that repeats is counted on
    // ("Name (2)"), so every row has a key of its own.
    struct Row {
        QString key;
        QStringList cells;
        bool operator==(const Row&) const = default;
    };
    // The rows below the header, in order.
    std::vector<Row> itemRows() const;
};

// An external selector: its stored settings, one line each.
struct ExternalSelectorData {
    QString name;
    QStringList lines;
    bool operator==(const ExternalSelectorData&) const = default;
    // The record as the text form and the diff show it: a password written into it is withheld;
    // an empty one or an "env:NAME" reference is no secret and stays.
    QStringList shownLines() const;
};

// A picture by name and content; the bytes travel along when read from a project, so a merge
// can write a picture that only one side holds.
struct PictureData {
    QString name;
    QString sha256;
    qint64 size = 0;
    QByteArray bytes;

    // Bytes are left out: two pictures are the same when their content hashes are.
    bool operator==(const PictureData& other) const
    {
        return name == other.name && sha256 == other.sha256 && size == other.size;
    }
    static PictureData fromBytes(const QString& name, const QByteArray& bytes);
};

struct ProjectData {
    // The document's settings, in the fixed order of ProjectText.
    QList<TextProperty> settings;
    // In decision order.
    std::vector<ControlData> controls;
    // Ordered by name without regard to case, as the storage lists them.
    std::vector<SelectorData> selectors;
    std::vector<ExternalSelectorData> externalSelectors;
    std::vector<PictureData> pictures;
    // Each control's place on the diagram (the rectangle's corner is its centre), by number.
    std::map<qint16, QRectF> layout;
    QList<Journey> journeys;

    const ControlData* control(qint16 id) const;
    ControlData* control(qint16 id);
    // The setting's value; null when it is not there.
    const QString* setting(const QString& key) const;

    bool operator==(const ProjectData&) const = default;
};
