#include "formats/OptionDialogLogic.h"

#include "ProfileTestSupport.h"

#include <gtest/gtest.h>

namespace {

const char *const kThreeProfiles = "\r\n[A]\r\nA=0|0|0|1|0|0\r\n\r\n[B]\r\nB=2|0|3|3|1|1\r\n"
                                   "\r\n[C]\r\nC=3|1|4|6|0|3\r\n";

class OptionDialogLogicTest : public ::testing::Test
{
protected:
    OptionDialogLogicTest()
        : profiles(program.Path(), prompt), dialog(profiles, c.Options(), c.cbbProfile)
    {
    }

    void StartUp(const std::string &store)
    {
        tqtest::WriteWholeFile(program.ConfigFile("UserProfileInfo.ini"), store);
        profiles.FillAllCombos(c.Main(), c.Options());
        profiles.ApplyProfile(c.Main(), c.Options());
        Choose(c.cbbOutputFiletype, otMp3);
    }
    void Choose(TChoiceList &mainList, int position)
    {
        mainList.SetItemIndex(position);
        profiles.ApplyProfile(c.Main(), c.Options());
    }
    void PickCustom(int position)
    {
        c.cbbCustomProfile.SetItemIndex(position);
        dialog.cbbCustomProfileChange();
    }
    void Type(const std::string &text)
    {
        c.cbbCustomProfile.SetText(text);
        dialog.cbbCustomProfileEdited();
    }
    std::string StoredValue(const std::string &name)
    {
        return profiles.ProfileIni().ReadIniValue("UserProfileInfo.ini", name);
    }

    tqtest::ProgramFolder program;
    tqtest::ScriptedNamePrompt prompt;
    TProfileFunc profiles;
    tqtest::MemoryProfileControls c;
    TOptionDialogLogic dialog;
};

TEST_F(OptionDialogLogicTest, CancelPutsBackAllNinePositions)
{
    StartUp(kThreeProfiles);
    Choose(c.cbbProfile, 6); // B
    dialog.FormShow();
    const auto lists = c.Options();
    TChoiceList *const all[] = {
        lists.cbbVideoSize,       lists.cbbVideoBitrate,  lists.cbbFramerate,
        lists.cbbAspectratio,     lists.cbbAudioBitrate,  lists.cbbAudioSample,
        lists.cbbAudioVolumeGain, lists.cbbAudioChannels, lists.cbbCustomProfile};
    std::vector<int> opened;
    for (TChoiceList *list : all)
        opened.push_back(list->ItemIndex());
    ASSERT_EQ(opened, (std::vector<int>{2, 3, 0, 0, 3, 1, 8, 1, 1}));

    PickCustom(2); // C: changes the video size, frame rate, video bitrate and audio values
    c.cbbAspectratio.SetItemIndex(1);
    c.cbbAudioVolumeGain.SetItemIndex(0);
    c.cbbAudioSample.SetItemIndex(0);
    dialog.ProfileValueChangedByUser();
    for (size_t i = 0; i < std::size(all); ++i)
        EXPECT_NE(all[i]->ItemIndex(), opened[i]) << i;

    dialog.btnCancelClick();
    for (size_t i = 0; i < std::size(all); ++i)
        EXPECT_EQ(all[i]->ItemIndex(), opened[i]) << i;
    EXPECT_EQ(c.cbbCustomProfile.Text(), "B");
}

TEST_F(OptionDialogLogicTest, OkRefillsTheMainProfileListWithoutApplying)
{
    StartUp("");
    Choose(c.cbbProfile, 3);
    dialog.FormShow();
    EXPECT_EQ(c.cbbCustomProfile.ItemIndex(), -1);
    c.cbbAudioBitrate.SetItemIndex(0);
    dialog.ProfileValueChangedByUser();
    prompt.answers = {std::string("Mine")};
    dialog.btnAddClick();
    dialog.btnApplyClick();
    EXPECT_EQ(c.cbbProfile.Count(), 6);
    EXPECT_EQ(c.cbbProfile.Item(5), "Mine");
    EXPECT_EQ(c.cbbProfile.SelectedItem(), "Normal Quality");
    EXPECT_EQ(c.AudioValues(), "16|2 channels, Stereo|44100");
}

TEST_F(OptionDialogLogicTest, SaveOverTheFirstOfThreeKeepsThatProfileSelected)
{
    StartUp(kThreeProfiles);
    dialog.FormShow();
    PickCustom(0);
    EXPECT_EQ(c.AudioValues(), "32|1 channel, Mono|22050");
    c.cbbAudioBitrate.SetItemIndex(8);
    dialog.ProfileValueChangedByUser();
    EXPECT_EQ(c.cbbCustomProfile.ItemIndex(), -1);
    EXPECT_EQ(c.cbbCustomProfile.Text(), "A");

    dialog.btnSaveClick();
    EXPECT_EQ(StoredValue("A"), "0|0|0|8|0|0");
    EXPECT_EQ(StoredValue("C"), "3|1|4|6|0|3");
    EXPECT_EQ(c.cbbCustomProfile.Count(), 3);
    EXPECT_EQ(c.cbbCustomProfile.SelectedItem(), "A");
    EXPECT_EQ(c.AudioValues(), "224|1 channel, Mono|22050");
    // Re-applying the selected profile, as the command builder does per job, changes nothing.
    profiles.ApplyCustomProfile(c.Options());
    EXPECT_EQ(c.AudioValues(), "224|1 channel, Mono|22050");
}

TEST_F(OptionDialogLogicTest, ChangedValuesAreNotOverwrittenByTheSelectedProfile)
{
    StartUp(kThreeProfiles);
    dialog.FormShow();
    PickCustom(1);
    c.cbbAudioChannels.SetItemIndex(0);
    dialog.ProfileValueChangedByUser();
    dialog.btnApplyClick();
    profiles.ApplyCustomProfile(c.Options());
    EXPECT_EQ(c.cbbAudioChannels.SelectedItem(), "1 channel, Mono");
}

TEST_F(OptionDialogLogicTest, DeleteTheOnlyProfileEmptiesTheListAndItsText)
{
    StartUp("\r\n[Solo]\r\nSolo=1|1|2|5|1|2\r\n");
    Choose(c.cbbProfile, 5);
    dialog.FormShow();
    EXPECT_EQ(c.cbbCustomProfile.Text(), "Solo");
    dialog.btnDelClick();
    EXPECT_EQ(c.cbbCustomProfile.Count(), 0);
    EXPECT_EQ(c.cbbCustomProfile.Text(), "");
    EXPECT_EQ(tqtest::ReadWholeFile(program.ConfigFile("UserProfileInfo.ini")), "\r\n\r\n");
    // The main window no longer offers it.
    EXPECT_EQ(c.cbbProfile.Count(), 5);
    EXPECT_EQ(c.cbbProfile.SelectedItem(), "Normal Quality");
}

TEST_F(OptionDialogLogicTest, DeleteInTheMiddleKeepsBothListsMatched)
{
    StartUp(kThreeProfiles);
    Choose(c.cbbProfile, 7); // C
    dialog.FormShow();
    PickCustom(0);
    dialog.btnDelClick(); // A
    EXPECT_EQ(c.cbbCustomProfile.ItemIndex(), -1);
    EXPECT_EQ(c.cbbCustomProfile.Text(), "");
    ASSERT_EQ(c.cbbProfile.SelectedItem(), "C");
    Choose(c.cbbOutputFiletype, otOgg); // re-applies the main window's profile by position
    EXPECT_EQ(c.cbbCustomProfile.SelectedItem(), "C");
    EXPECT_EQ(c.AudioValues(), "160|1 channel, Mono|48000");
}

TEST_F(OptionDialogLogicTest, FormShowShowsTheMainWindowsCustomProfile)
{
    StartUp(kThreeProfiles);
    dialog.FormShow();
    EXPECT_EQ(c.cbbCustomProfile.ItemIndex(), -1);
    EXPECT_EQ(c.cbbCustomProfile.Count(), 3);

    Choose(c.cbbProfile, 7);
    c.cbbCustomProfile.SetItemIndex(-1);
    const std::string values = c.AudioValues();
    dialog.FormShow();
    EXPECT_EQ(c.cbbCustomProfile.SelectedItem(), "C");
    EXPECT_EQ(c.AudioValues(), values); // opening applies nothing

    // A shown text is kept, even when it is no longer a stored name.
    Type("Draft");
    dialog.FormShow();
    EXPECT_EQ(c.cbbCustomProfile.Text(), "Draft");
    EXPECT_EQ(c.cbbCustomProfile.ItemIndex(), -1);
}

TEST_F(OptionDialogLogicTest, TypedTextLoadsNoProfileEvenWhenItIsAStoredName)
{
    StartUp(kThreeProfiles);
    dialog.FormShow();
    PickCustom(1); // B
    EXPECT_EQ(c.AudioValues(), "64|2 channels, Stereo|32000");
    c.cbbAudioBitrate.SetItemIndex(5); // the user sets a value of their own
    dialog.ProfileValueChangedByUser();
    const std::string values = c.AudioValues();
    ASSERT_NE(values, "64|2 channels, Stereo|32000");

    // Typing "Cx" passes through the stored name "C", "a" is "A" in other letter case.
    for (const char *typed : {"C", "Cx", "a", "A"}) {
        Type(typed);
        EXPECT_EQ(c.cbbCustomProfile.ItemIndex(), -1) << typed;
        EXPECT_EQ(c.cbbCustomProfile.Text(), typed);
        EXPECT_EQ(c.AudioValues(), values) << typed;
    }

    Type("Evening");
    dialog.btnSaveClick();
    EXPECT_EQ(c.cbbCustomProfile.Count(), 4);
    EXPECT_EQ(c.cbbCustomProfile.ItemIndex(), 3);
    EXPECT_EQ(c.cbbProfile.Count(), 9);
    EXPECT_EQ(StoredValue("Evening"), "2|0|3|5|1|1"); // B with the user's bitrate
}

TEST_F(OptionDialogLogicTest, AddSelectsTheNewProfile)
{
    StartUp(kThreeProfiles);
    dialog.FormShow();
    prompt.answers = {std::nullopt};
    dialog.btnAddClick();
    EXPECT_EQ(c.cbbCustomProfile.Count(), 4);
    EXPECT_EQ(c.cbbCustomProfile.SelectedItem(), "UserProfileInfo1");

    prompt.answers = {std::string("b")}; // an existing profile in other letter case
    dialog.btnAddClick();
    EXPECT_EQ(c.cbbCustomProfile.Count(), 4);
    EXPECT_EQ(c.cbbCustomProfile.SelectedItem(), "B");
}

} // namespace
