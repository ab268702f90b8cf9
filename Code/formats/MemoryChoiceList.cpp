#include "formats/MemoryChoiceList.h"

void TMemoryChoiceList::DoClear()
{
    m_items.clear();
    m_itemIndex = -1;
}

void TMemoryChoiceList::DoSetItemIndex(int index)
{
    m_itemIndex = index;
    m_text = index < 0 ? std::string() : m_items[static_cast<size_t>(index)];
}
