#pragma once

#include "persist/IClassLookup.h"
#include "persist/IClassPersistable.h"

#include <memory>

class CmDecisionManager;
class CmDocument;

// The document data: the decisions and the document settings.
class CModel : public IClassPersistable {
public:
    static constexpr int ClassId = 2;

    CModel();
    ~CModel() override;
    CModel(const CModel&) = delete;
    CModel& operator=(const CModel&) = delete;

    CmDecisionManager& Decisions() const { return *m_decisions; }
    CmDocument& Document() const { return *m_document; }

    void Init();
    void Clear();

    // The model's part of the class lookup: classes of the decision model.
    ClassInstance CreateClass(int classId);

    int IClassPersistable_UCID() const override { return ClassId; }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

private:
    std::unique_ptr<CmDecisionManager> m_decisions;
    std::unique_ptr<CmDocument> m_document;
};
