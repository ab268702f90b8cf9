#include "formats/OptionDialogLogic.h"

TOptionDialogLogic::TOptionDialogLogic(const TProfileFunc &profiles, const TOptionLists &lists,
                                       TChoiceList &mainProfileList)
    : m_profiles(profiles), m_lists(lists), m_mainProfileList(mainProfileList)
{
    m_rememberedPositions.fill(-1);
}

std::array<TChoiceList *, 9> TOptionDialogLogic::AllLists() const
{
    return {m_lists.cbbVideoSize,       m_lists.cbbVideoBitrate,  m_lists.cbbFramerate,
            m_lists.cbbAspectratio,     m_lists.cbbAudioBitrate,  m_lists.cbbAudioSample,
            m_lists.cbbAudioVolumeGain, m_lists.cbbAudioChannels, m_lists.cbbCustomProfile};
}

void TOptionDialogLogic::FormShow()
{
    TChoiceList &custom = *m_lists.cbbCustomProfile;
    m_profiles.FillCustomProfileCombo(custom);
    if (custom.Text().empty()) {
        const int position = m_mainProfileList.ItemIndex() - kQualityCount;
        if (position >= 0)
            custom.SetItemIndex(position);
    }
    const auto lists = AllLists();
    for (size_t i = 0; i < lists.size(); ++i)
        m_rememberedPositions[i] = lists[i]->ItemIndex();
    m_rememberedCustomText = custom.Text();
}

void TOptionDialogLogic::cbbCustomProfileChange()
{
    m_profiles.ApplyCustomProfile(m_lists);
}

void TOptionDialogLogic::cbbCustomProfileEdited()
{
    // Typing a new name passes through stored ones ("Voice" on the way to "Voice2"); loading
    // those would replace the values the user has just set, and Save would then store them
    // under the new name.
    TChoiceList &custom = *m_lists.cbbCustomProfile;
    const std::string typed = custom.Text();
    custom.SetItemIndex(-1);
    custom.SetText(typed);
}

void TOptionDialogLogic::ProfileValueChangedByUser()
{
    TChoiceList &custom = *m_lists.cbbCustomProfile;
    if (custom.ItemIndex() < 0)
        return;
    const std::string shown = custom.Text();
    custom.SetItemIndex(-1);
    custom.SetText(shown);
}

void TOptionDialogLogic::btnAddClick()
{
    const std::string name = m_profiles.AddCustomProfile(m_lists);
    m_profiles.FillCustomProfileCombo(*m_lists.cbbCustomProfile);
    ShowStoredProfile(name);
    m_profiles.KeepProfileComboInStep(m_mainProfileList);
}

void TOptionDialogLogic::btnSaveClick()
{
    const std::optional<std::string> name = m_profiles.SaveCustomProfile(m_lists);
    if (!name)
        return;
    m_profiles.FillCustomProfileCombo(*m_lists.cbbCustomProfile);
    ShowStoredProfile(*name);
    m_profiles.KeepProfileComboInStep(m_mainProfileList);
}

void TOptionDialogLogic::btnDelClick()
{
    m_profiles.DeleteCustomProfile(m_lists);
    m_profiles.FillCustomProfileCombo(*m_lists.cbbCustomProfile);
    // The deleted profile is gone; the values it set stay, with no profile selected.
    m_lists.cbbCustomProfile->SetItemIndex(-1);
    m_profiles.KeepProfileComboInStep(m_mainProfileList);
}

void TOptionDialogLogic::btnApplyClick()
{
    m_mainProfileList.Clear();
    m_profiles.FillProfileCombo(m_mainProfileList);
}

void TOptionDialogLogic::btnCancelClick()
{
    const auto lists = AllLists();
    for (size_t i = 0; i < lists.size(); ++i)
        lists[i]->SetItemIndex(m_rememberedPositions[i]);
    if (m_rememberedPositions.back() < 0)
        m_lists.cbbCustomProfile->SetText(m_rememberedCustomText);
}

void TOptionDialogLogic::ShowStoredProfile(const std::string &name)
{
    // The values in the lists are the ones just stored under `name`, so that profile is the
    // one selected (and the one the command builder will apply).
    TChoiceList &custom = *m_lists.cbbCustomProfile;
    for (int i = 0; i < custom.Count(); ++i) {
        if (custom.Item(i) == name) {
            custom.SetItemIndex(i);
            return;
        }
    }
    custom.SetItemIndex(-1);
    custom.SetText(name);
}
