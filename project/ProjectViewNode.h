#pragma once

#include "persist/IClassPersistable.h"

class CvProject;
class CvProperties;

// The windows' part of a stored project: the active form, the explorer's lists and the
// properties window's place. Kept by the project so that it is written the same whoever saves.
class ProjectViewNode final : public IClassPersistable {
public:
    static constexpr int ClassId = 7;

    ProjectViewNode(CvProject& explorer, CvProperties& properties) : m_explorer(explorer), m_properties(properties) {}

    int ActiveForm() const { return m_activeForm; }
    void setActiveForm(int form) { m_activeForm = form; }

    int IClassPersistable_UCID() const override { return ClassId; }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

private:
    CvProject& m_explorer;
    CvProperties& m_properties;
    int m_activeForm = 0;
};
