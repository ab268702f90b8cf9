#pragma once

#include "formats/ChoiceList.h"

class QComboBox;

// A QComboBox seen as a TChoiceList. Changes made through it block the combo box's signals, so
// only the user's own choices reach its change handlers. Does not own the combo box.
class TComboChoiceList : public TChoiceList
{
public:
    explicit TComboChoiceList(QComboBox *comboBox);

    QComboBox *ComboBox() const { return m_comboBox; }
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;

protected:
    int DoCount() const override;
    std::string DoItem(int index) const override;
    void DoAdd(const std::string &text) override;
    void DoClear() override;
    int DoItemIndex() const override;
    void DoSetItemIndex(int index) override;
    std::string DoText() const override;
    void DoSetText(const std::string &text) override;

private:
    QComboBox *m_comboBox;
};
