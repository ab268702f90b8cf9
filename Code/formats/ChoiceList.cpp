#include "formats/ChoiceList.h"

std::string TChoiceList::Item(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return DoItem(index);
}

void TChoiceList::SetItemIndex(int index)
{
    DoSetItemIndex(index >= 0 && index < Count() ? index : -1);
}
