#pragma once

#include "formats/ProfileControls.h"
#include "formats/ProfileFunc.h"

#include <array>
#include <string>

// What the Options dialog does, without its window. The dialog's value lists hold the current
// conversion values; opening it remembers their positions so that Cancel can put them back.
class TOptionDialogLogic
{
public:
    TOptionDialogLogic(const TProfileFunc &profiles, const TOptionLists &lists,
                       TChoiceList &mainProfileList);

    // The dialog becomes visible: refill the custom profile list, show the main window's custom
    // profile when nothing is shown, remember the nine positions. Applies nothing.
    void FormShow();
    // The user picked an entry of the custom profile list: apply it.
    void cbbCustomProfileChange();
    // The user typed into the custom profile list: the text stays, no entry is selected and
    // nothing is applied, whatever the text (a profile is applied only when picked).
    void cbbCustomProfileEdited();
    // The user changed the bitrate, sample rate or channels: the values no longer are those of
    // the selected custom profile, so it stays shown (for Save) but is no longer selected.
    void ProfileValueChangedByUser();

    void btnAddClick();
    void btnSaveClick();
    void btnDelClick();
    // OK: refill the main window's profile list ("Normal Quality" selected, nothing applied).
    void btnApplyClick();
    // Cancel: put the nine remembered positions back.
    void btnCancelClick();

private:
    std::array<TChoiceList *, 9> AllLists() const;
    void ShowStoredProfile(const std::string &name);

    const TProfileFunc &m_profiles;
    TOptionLists m_lists;
    TChoiceList &m_mainProfileList;
    std::array<int, 9> m_rememberedPositions{};
    std::string m_rememberedCustomText;
};
