#pragma once

#include <QString>

class CmDecisionItem;
class CmDecisionManager;
#include "model/IDecisionPropertyOwner.h"

// A decision's properties by the string id of their label, as the properties window, undo and
// find and replace address them.
namespace MDecisionDataUtil {

enum PropertyLabel : int {
    IdLabel = 8001,
    ControlNameLabel = 8002,
    InputInterfaceLabel = 8003,
    DisplayedControlsLabel = 8004,
    PictureLabel = 8005,
    CaptionLabel = 8006,
    MinimumLabel = 8007,
    MaximumLabel = 8008,
    DefaultValueLabel = 8009,
    HelpIdLabel = 8010,
    TopLabel = 8011,
    LeftLabel = 8012,
    SizeLabel = 8013,
    HelpUrlLabel = 8014,
};

// The diagram's entity sizes by word: 50 "Small", 75 "Medium", 150 "Large"; any other size as
// its number.
QString SizeName(int size);
// 0 for a word that names no size.
int SizeOfName(const QString& name);

// The owner of the label among the given ones (ID and name: the tree editing; top, left and
// size: the diagram); nullptr for a label nobody owns or an owner not given. Without an owner
// the ID and the name can be read but not written, and top, left and size read as empty and
// are refused.
IDecisionPropertyOwner* PropertyOwner(const PropertyOwners& owners, int labelId);

// The property as text; the displayed controls by name, looked up in decisions when given.
// Empty for an unknown label.
QString GetProperty(const CmDecisionItem& decision, int labelId, const CmDecisionManager* decisions,
                    const PropertyOwners& owners = {});
// False, and the decision unchanged, when the label is unknown or the value refused (an
// unknown interface, a help id that is no 16-bit number, an unknown size word, an owner's
// refusal or the lack of an owner). A change records one undo step (kind 3, old and new value
// each as the label id and the text) and refreshes the previews through the edit hooks.
bool SetProperty(CmDecisionItem& decision, int labelId, const QString& value, const PropertyOwners& owners = {});

} // namespace MDecisionDataUtil
