#include "validate/TreeSnapshot.h"

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/PictureStore.h"
#include "validate/SelectorCatalogCopy.h"

TreeSnapshot::TreeSnapshot(const CmDecisionManager& decisions, const CmDocument& document, Content content)
{
    const int count = decisions.Count();
    m_controls.reserve(static_cast<std::size_t>(count));
    // Every property a check reads; the option lists of other interfaces are no check's business.
    for (int position = 1; position <= count; ++position) {
        const CmDecisionItem* item = decisions.ItemByIndex(position);
        if (!item)
            continue;
        m_controls.push_back({item, item->intID(), item->intControl(), item->kvdHelpID(), item->strID(),
                              item->OptsAndActs(), item->Group(), item->Caption(), item->Heading(), item->Picture(),
                              item->DefaultValue(), item->Min(), item->Max(), item->kvwHelpID()});
    }
    if (content == Content::Everything) {
        m_selectors = std::make_unique<SelectorCatalogCopy>(document.Storage().rootNode());
        if (!document.Storage().pictures().names(m_pictures).ok())
            m_pictures.clear();
    }
}

TreeSnapshot::~TreeSnapshot() = default;

TreeSnapshot::Tree TreeSnapshot::build() const
{
    Tree tree{std::make_unique<CmDecisionManager>(), {}};
    tree.originals.reserve(static_cast<qsizetype>(m_controls.size()));
    for (const Control& control : m_controls) {
        auto copy = std::make_unique<CmDecisionItem>();
        copy->setIntID(control.number);
        copy->setStrID(control.name);
        copy->setIntControl(control.type);
        copy->setOptsAndActsAsRead(control.lines);
        copy->setGroup(control.group);
        copy->setCaption(control.caption);
        copy->setHeading(control.heading);
        copy->setPicture(control.picture);
        copy->setDefaultValue(control.defaultValue);
        copy->setMin(control.min);
        copy->setMax(control.max);
        copy->setKvdHelpID(control.helpNumber);
        copy->setKvwHelpID(control.help);
        if (tree.decisions->add(std::move(copy)))
            tree.originals.append(control.original);
    }
    return tree;
}
