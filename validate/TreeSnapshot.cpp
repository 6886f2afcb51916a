#include "validate/TreeSnapshot.h"

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/PictureStore.h"
#include "validate/SelectorCatalogCopy.h"

namespace {

// Every property a check reads; the option lists of other interfaces are no check's business.
std::unique_ptr<CmDecisionItem> copyOf(const CmDecisionItem& item)
{
    auto copy = std::make_unique<CmDecisionItem>();
    copy->setIntID(item.intID());
    copy->setStrID(item.strID());
    copy->setIntControl(item.intControl());
    copy->setOptsAndActsAsRead(item.OptsAndActs());
    copy->setGroup(item.Group());
    copy->setCaption(item.Caption());
    copy->setHeading(item.Heading());
    copy->setPicture(item.Picture());
    copy->setDefaultValue(item.DefaultValue());
    copy->setMin(item.Min());
    copy->setMax(item.Max());
    copy->setKvdHelpID(item.kvdHelpID());
    copy->setKvwHelpID(item.kvwHelpID());
    return copy;
}

} // namespace

TreeSnapshot::TreeSnapshot(const CmDecisionManager& decisions, const CmDocument& document, Content content)
    : m_decisions(std::make_unique<CmDecisionManager>())
{
    const int count = decisions.Count();
    m_originals.reserve(count);
    for (int position = 1; position <= count; ++position) {
        const CmDecisionItem* item = decisions.ItemByIndex(position);
        if (item && m_decisions->add(copyOf(*item)))
            m_originals.append(item);
    }
    if (content == Content::Everything) {
        m_selectors = std::make_unique<SelectorCatalogCopy>(document.Storage().rootNode());
        if (!document.Storage().pictures().names(m_pictures).ok())
            m_pictures.clear();
    }
}

TreeSnapshot::~TreeSnapshot() = default;
