#pragma once

#include "lang/ISelectorCatalog.h"
#include "model/MDecisionDataUtil.h"

#include <QStringList>

class CmDecisionItem;
class CmDecisionManager;
class ValidationFindings;

// A small tree the validation and conversion tests share, and a selector catalog in which
// Cars is stored and Remote is external.
namespace ValidationTree {

struct Control {
    Control(QString controlName, qint16 controlType, QStringList controlLines = {})
        : name(std::move(controlName)), type(controlType), lines(std::move(controlLines))
    {
    }
    Control& range(const QString& low, const QString& high)
    {
        min = low;
        max = high;
        return *this;
    }
    Control& withDefault(const QString& value)
    {
        defaultValue = value;
        return *this;
    }
    Control& displaying(const QStringList& names)
    {
        displayed = names;
        return *this;
    }
    Control& withPicture(const QString& pictureName)
    {
        picture = pictureName;
        return *this;
    }
    Control& withHeading(const QString& text)
    {
        heading = text;
        return *this;
    }

    QString name;
    qint16 type;
    QStringList lines;
    QString min;
    QString max;
    QString defaultValue;
    QStringList displayed;
    QString picture;
    QString heading;
};

CmDecisionItem& add(CmDecisionManager& decisions, const Control& control);

// Next (a Radio that goes back to Start), Age (NumBox 0 to 100), Color (Radio: Red, Green, going
// on from its pre-actions),
// Name (StringBox).
void addNeighbours(CmDecisionManager& decisions);

// "E:" or "W:" and the message of every finding at a location that begins with prefix.
QStringList findingsAt(const ValidationFindings& findings, const QString& prefix);

class Catalog final : public ISelectorCatalog {
public:
    bool Exists(const QString& name) const override;
    std::optional<QStringList> Properties(const QString& name) const override;
    std::optional<QStringList> Items(const QString& name) const override;
};

} // namespace ValidationTree
