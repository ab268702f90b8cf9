#pragma once

#include "formats/ChoiceList.h"

#include <vector>

// A list without a window, behaving like an editable drop-down list. Used where the profile
// operations run without a screen, and by tests.
class TMemoryChoiceList : public TChoiceList
{
public:
    bool Enabled() const override { return m_enabled; }
    void SetEnabled(bool enabled) override { m_enabled = enabled; }
    const std::vector<std::string> &Items() const { return m_items; }

protected:
    int DoCount() const override { return static_cast<int>(m_items.size()); }
    std::string DoItem(int index) const override { return m_items[static_cast<size_t>(index)]; }
    void DoAdd(const std::string &text) override { m_items.push_back(text); }
    void DoClear() override;
    int DoItemIndex() const override { return m_itemIndex; }
    void DoSetItemIndex(int index) override;
    std::string DoText() const override { return m_text; }
    void DoSetText(const std::string &text) override { m_text = text; }

private:
    std::vector<std::string> m_items;
    int m_itemIndex = -1;
    std::string m_text;
    bool m_enabled = true;
};
