#pragma once

#include "formats/ControlSwitch.h"

#include <string>

// A drop-down list as the profile operations see it: ordered entries, one selected position and
// the text shown in the list's edit part. Every change made through this interface is made
// programmatically and raises no change notification.
class TChoiceList : public TControlSwitch
{
public:
    int Count() const { return DoCount(); }
    // The entry at `index`; "" outside the list.
    std::string Item(int index) const;
    void Add(const std::string &text) { DoAdd(text); }
    // Removes every entry; no position is selected afterwards.
    void Clear() { DoClear(); }

    // The selected position, -1 when none is selected.
    int ItemIndex() const { return DoItemIndex(); }
    // Selects `index` and shows its entry; a position outside the list (-1 included) leaves no
    // entry selected and an empty text.
    void SetItemIndex(int index);
    // The entry at the selected position, "" when none is selected.
    std::string SelectedItem() const { return Item(ItemIndex()); }

    // The shown text: the selected entry, or what the user typed into an editable list.
    std::string Text() const { return DoText(); }
    // Shows `text` in an editable list without changing the selected position.
    void SetText(const std::string &text) { DoSetText(text); }

protected:
    virtual int DoCount() const = 0;
    virtual std::string DoItem(int index) const = 0;
    virtual void DoAdd(const std::string &text) = 0;
    virtual void DoClear() = 0;
    virtual int DoItemIndex() const = 0;
    // Called with -1 or a valid position only.
    virtual void DoSetItemIndex(int index) = 0;
    virtual std::string DoText() const = 0;
    virtual void DoSetText(const std::string &text) = 0;
};
