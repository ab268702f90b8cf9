#include "formats/ProfileFunc.h"

#include "ProfileTestSupport.h"
#include "formats/ConvertError.h"
#include "formats/ProfileValue.h"
#include "support/Errors.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using tqtest::ReadWholeFile;
using tqtest::WriteWholeFile;

const char *const kStereo = "2 channels, Stereo";
const char *const kMono = "1 channel, Mono";

class ProfileFuncTest : public ::testing::Test
{
protected:
    ProfileFuncTest() : profiles(program.Path(), prompt) {}

    void StartUp()
    {
        profiles.FillAllCombos(c.Main(), c.Options());
        profiles.ApplyProfile(c.Main(), c.Options());
    }
    void ChooseOutputType(int type)
    {
        c.cbbOutputFiletype.SetItemIndex(type);
        profiles.ApplyProfile(c.Main(), c.Options());
    }
    void ChooseProfile(int position)
    {
        c.cbbProfile.SetItemIndex(position);
        profiles.ApplyProfile(c.Main(), c.Options());
    }
    void RefillCustomList() { profiles.FillCustomProfileCombo(c.cbbCustomProfile); }
    void SelectCustom(int position)
    {
        RefillCustomList();
        c.cbbCustomProfile.SetItemIndex(position);
    }
    void WriteStore(const std::string &text)
    {
        WriteWholeFile(program.ConfigFile("UserProfileInfo.ini"), text);
    }

    tqtest::ProgramFolder program;
    tqtest::ScriptedNamePrompt prompt;
    TProfileFunc profiles;
    tqtest::MemoryProfileControls c;
};

TEST_F(ProfileFuncTest, StartUpSelectsTheAmrNormalPresetAndLocksTheProfile)
{
    profiles.FillAllCombos(c.Main(), c.Options());
    EXPECT_EQ(c.cbbOutputFiletype.Count(), 7);
    EXPECT_EQ(c.cbbProfile.Count(), 5);
    EXPECT_EQ(c.cbbProfile.SelectedItem(), "Normal Quality");
    EXPECT_EQ(c.AudioValues(), std::string("48|") + kStereo + "|44100");
    EXPECT_EQ(c.cbbCustomProfile.Count(), 0);

    profiles.ApplyProfile(c.Main(), c.Options());
    EXPECT_EQ(c.cbbOutputFiletype.ItemIndex(), otAmr);
    EXPECT_EQ(c.AudioValues(), std::string("128|") + kMono + "|22050");
    EXPECT_EQ(c.cbbAudioVolumeGain.SelectedItem(), "200");
    EXPECT_EQ(c.cbbVideoSize.SelectedItem(), "176x144");
    EXPECT_EQ(c.cbbVideoBitrate.SelectedItem(), "128");
    EXPECT_EQ(c.cbbFramerate.SelectedItem(), "15");
    EXPECT_EQ(c.cbbAspectratio.SelectedItem(), "4:3");
    EXPECT_FALSE(c.cbbProfile.Enabled());
    EXPECT_FALSE(c.btnOptions.Enabled());
}

TEST_F(ProfileFuncTest, EveryOutputTypeAndQualityGivesItsPreset)
{
    StartUp();
    const char *const amr[] = {"48|1 channel, Mono|22050", "80|1 channel, Mono|22050",
                               "128|1 channel, Mono|22050", "192|1 channel, Mono|22050",
                               "224|1 channel, Mono|22050"};
    const char *const others[] = {"48|1 channel, Mono|22050", "80|2 channels, Stereo|32000",
                                  "128|2 channels, Stereo|44100", "192|2 channels, Stereo|44100",
                                  "224|2 channels, Stereo|48000"};
    for (int type = 0; type < kOutputTypeCount; ++type) {
        for (int quality = 0; quality < kQualityCount; ++quality) {
            // The quality is chosen under a type that allows it, then the type is chosen.
            ChooseOutputType(otMp3);
            ChooseProfile(quality);
            c.cbbAudioVolumeGain.SetItemIndex(3);
            c.cbbAspectratio.SetItemIndex(1);
            c.cbbVideoSize.SetItemIndex(4);
            ChooseOutputType(type);
            const std::string where = std::to_string(type) + "/" + std::to_string(quality);
            EXPECT_EQ(c.AudioValues(), type == otAmr ? amr[quality] : others[quality]) << where;
            EXPECT_EQ(c.cbbVideoSize.ItemIndex(), 4) << where;
            EXPECT_EQ(c.cbbFramerate.SelectedItem(), "15") << where;
            EXPECT_EQ(c.cbbVideoBitrate.SelectedItem(), "128") << where;
            EXPECT_EQ(c.cbbAudioVolumeGain.ItemIndex(), 3) << where;
            EXPECT_EQ(c.cbbAspectratio.ItemIndex(), 1) << where;
            EXPECT_EQ(c.cbbProfile.Enabled(), type != otAmr) << where;
            EXPECT_EQ(c.btnOptions.Enabled(), type != otAmr) << where;
        }
    }
}

TEST_F(ProfileFuncTest, NoOutputTypeAppliesNothingAndKeepsTheSwitches)
{
    StartUp();
    c.cbbOutputFiletype.SetItemIndex(-1);
    c.cbbAudioBitrate.SetItemIndex(0);
    ChooseProfile(4);
    EXPECT_EQ(c.cbbAudioBitrate.SelectedItem(), "16");
    EXPECT_FALSE(c.btnOptions.Enabled());
}

TEST_F(ProfileFuncTest, WorkedExampleWritesTheStoreAndCounterByteForByte)
{
    StartUp();
    ChooseOutputType(otAac);
    prompt.answers = {std::string("UserProfileInfo1")};
    EXPECT_EQ(profiles.AddCustomProfile(c.Options()), "UserProfileInfo1");
    ChooseProfile(0);
    prompt.answers = {std::string("Voice")};
    EXPECT_EQ(profiles.AddCustomProfile(c.Options()), "Voice");

    EXPECT_EQ(prompt.proposals, (std::vector<std::string>{"UserProfileInfo1", "UserProfileInfo2"}));
    EXPECT_EQ(program.Store(), "\r\n[UserProfileInfo1]\r\nUserProfileInfo1=1|1|2|5|1|2\r\n"
                               "\r\n[Voice]\r\nVoice=1|1|2|2|0|0\r\n");
    EXPECT_EQ(program.Counter(), "\r\n[count]\r\ncount=2\r\n");

    SelectCustom(0);
    profiles.DeleteCustomProfile(c.Options());
    EXPECT_EQ(program.Store(), "\r\n\r\n[Voice]\r\nVoice=1|1|2|2|0|0\r\n");
    SelectCustom(0);
    profiles.DeleteCustomProfile(c.Options());
    EXPECT_EQ(program.Store(), "\r\n\r\n\r\n");
    EXPECT_TRUE(profiles.ProfileIni().ReadIniSections("UserProfileInfo.ini").empty());
    EXPECT_EQ(program.Counter(), "\r\n[count]\r\ncount=2\r\n");
}

TEST_F(ProfileFuncTest, AddCancelledStoresTheProposedNameAndSameNameTwiceKeepsOneSection)
{
    StartUp();
    prompt.answers = {std::nullopt};
    EXPECT_EQ(profiles.AddCustomProfile(c.Options()), "UserProfileInfo1");
    EXPECT_EQ(profiles.ProfileIni().ReadIniValue("UserProfileInfo.ini", "UserProfileInfo1"),
              "1|1|2|5|0|0");

    prompt.answers = {std::string("Voice"), std::string("Voice")};
    profiles.AddCustomProfile(c.Options());
    c.cbbAudioBitrate.SetItemIndex(8);
    profiles.AddCustomProfile(c.Options());
    EXPECT_EQ(profiles.ProfileIni().ReadIniSections("UserProfileInfo.ini"),
              (std::vector<std::string>{"UserProfileInfo1", "Voice"}));
    EXPECT_EQ(profiles.ProfileIni().ReadIniValue("UserProfileInfo.ini", "Voice"), "1|1|2|8|0|0");
    EXPECT_EQ(program.Counter(), "\r\n[count]\r\ncount=3\r\n");
}

TEST_F(ProfileFuncTest, NamesAreStoredTrimmedAndUnderTheirListedSpelling)
{
    StartUp();
    prompt.answers = {std::string("Voice"), std::string("  Podcast  "), std::string("VOICE")};
    profiles.AddCustomProfile(c.Options());
    EXPECT_EQ(profiles.AddCustomProfile(c.Options()), "Podcast");
    c.cbbAudioBitrate.SetItemIndex(0);
    // Differing only in letter case: the listed profile's value is replaced in place.
    EXPECT_EQ(profiles.AddCustomProfile(c.Options()), "Voice");
    EXPECT_EQ(program.Store(), "\r\n[Voice]\r\nVoice=1|1|2|0|0|0\r\n"
                               "\r\n[Podcast]\r\nPodcast=1|1|2|5|0|0\r\n");

    // The trimmed name applies, as the lists show it.
    c.cbbAudioBitrate.SetItemIndex(8);
    SelectCustom(1);
    profiles.ApplyCustomProfile(c.Options());
    EXPECT_EQ(c.cbbAudioBitrate.SelectedItem(), "128");

    c.cbbCustomProfile.SetText(" podcast ");
    c.cbbAudioBitrate.SetItemIndex(3);
    EXPECT_EQ(profiles.SaveCustomProfile(c.Options()), std::optional<std::string>("Podcast"));
    EXPECT_EQ(profiles.ProfileIni().ReadIniValue("UserProfileInfo.ini", "Podcast"), "1|1|2|3|0|0");
}

TEST_F(ProfileFuncTest, UnusableNamesAreExplainedAndNotStored)
{
    StartUp();
    // Add asks again after an unusable name; Cancel then keeps the proposed name.
    prompt.answers = {std::string("   "), std::string("a=b"), std::nullopt};
    EXPECT_EQ(profiles.AddCustomProfile(c.Options()), "UserProfileInfo1");
    ASSERT_EQ(prompt.problems.size(), 2u);
    EXPECT_EQ(prompt.problems[0], "Plese input a name");
    EXPECT_NE(prompt.problems[1].find("a=b"), std::string::npos);

    const std::string before = program.Store();
    c.cbbCustomProfile.SetText("");
    EXPECT_FALSE(profiles.SaveCustomProfile(c.Options()));
    EXPECT_EQ(prompt.problems.size(), 3u);
    EXPECT_EQ(program.Store(), before);
}

TEST_F(ProfileFuncTest, SaveStoresUnderTheShownNameWithoutCounting)
{
    StartUp();
    c.cbbCustomProfile.SetText("Typed");
    EXPECT_EQ(profiles.SaveCustomProfile(c.Options()), std::optional<std::string>("Typed"));
    EXPECT_EQ(program.Store(), "\r\n[Typed]\r\nTyped=1|1|2|5|0|0\r\n");
    EXPECT_FALSE(std::filesystem::exists(program.ConfigFile("UserProfileCount.ini")));
    EXPECT_TRUE(prompt.proposals.empty());
}

TEST_F(ProfileFuncTest, CustomProfileChosenInTheMainWindowIsAppliedAndSurvivesAmr)
{
    WriteStore("\r\n[Voice]\r\nVoice=0|0|0|1|1|3\r\n\r\n[Talk]\r\nTalk=4|1|4|7|0|1\r\n");
    StartUp();
    ASSERT_EQ(c.cbbProfile.Count(), 7);
    ChooseOutputType(otOgg);
    ChooseProfile(6);
    EXPECT_EQ(c.cbbCustomProfile.SelectedItem(), "Talk");
    EXPECT_EQ(c.AudioValues(), std::string("192|") + kMono + "|32000");
    EXPECT_EQ(c.cbbVideoSize.SelectedItem(), "160x120");
    EXPECT_EQ(c.cbbVideoBitrate.SelectedItem(), "512");

    c.cbbAudioBitrate.SetItemIndex(0);
    ChooseOutputType(otAmr);
    EXPECT_EQ(c.AudioValues(), std::string("192|") + kMono + "|32000");
    EXPECT_TRUE(c.cbbProfile.Enabled());
    EXPECT_TRUE(c.btnOptions.Enabled());
}

TEST_F(ProfileFuncTest, BuiltInProfileDeselectsTheCustomProfile)
{
    WriteStore("\r\n[Voice]\r\nVoice=0|0|0|1|1|3\r\n");
    StartUp();
    ChooseOutputType(otMp3);
    ChooseProfile(5);
    ASSERT_EQ(c.cbbCustomProfile.SelectedItem(), "Voice");
    ChooseProfile(4);
    EXPECT_EQ(c.cbbCustomProfile.ItemIndex(), -1);
    EXPECT_EQ(c.cbbCustomProfile.Text(), "");
    // What the command builder does before each job now keeps the built-in values.
    profiles.ApplyCustomProfile(c.Options());
    EXPECT_EQ(c.AudioValues(), std::string("224|") + kStereo + "|48000");
}

TEST_F(ProfileFuncTest, StoredValuesOutsideTheListsOrMalformedAreHandled)
{
    WriteStore("\r\n[Gone]\r\nGone=-1|7|2|99|1|0\r\n[Five]\r\nFive=1|2|3|4|5\r\n"
               "[Blank]\r\nBlank=||||0|1\r\n[Bad]\r\nBad=1|1|x7|3|1|1\r\n");
    StartUp();
    SelectCustom(0);
    profiles.ApplyCustomProfile(c.Options());
    EXPECT_EQ(c.cbbVideoSize.ItemIndex(), -1);
    EXPECT_EQ(c.cbbFramerate.ItemIndex(), -1);
    EXPECT_EQ(c.cbbAudioBitrate.ItemIndex(), -1);
    EXPECT_EQ(c.cbbAudioChannels.SelectedItem(), kStereo);

    StartUp();
    const std::string before = c.AudioValues();
    SelectCustom(1); // five fields: nothing applied
    profiles.ApplyCustomProfile(c.Options());
    EXPECT_EQ(c.AudioValues(), before);

    SelectCustom(2); // empty fields leave their lists alone
    profiles.ApplyCustomProfile(c.Options());
    EXPECT_EQ(c.AudioValues(), std::string("128|") + kMono + "|32000");
    StartUp();

    SelectCustom(3);
    try {
        profiles.ApplyCustomProfile(c.Options());
        FAIL() << "no error for a field that is not an integer";
    } catch (const EConvertError &error) {
        EXPECT_STREQ(error.what(), "'x7' is not a valid integer value");
    }
    EXPECT_EQ(c.cbbVideoSize.SelectedItem(), "176x144"); // nothing half-applied
    EXPECT_EQ(c.AudioValues(), before);
}

TEST_F(ProfileFuncTest, DeleteWithAnUnknownOrNoNameLeavesTheStoreUntouched)
{
    WriteStore("\r\n[Voice]\r\nVoice=0|0|0|1|1|3\r\n");
    const auto path = program.ConfigFile("UserProfileInfo.ini");
    const auto stamp = std::filesystem::last_write_time(path) - std::chrono::hours(1);
    std::filesystem::last_write_time(path, stamp);
    StartUp();
    profiles.DeleteCustomProfile(c.Options()); // the list is filled, the shown text is empty
    RefillCustomList();
    c.cbbCustomProfile.SetText("Unknown");
    profiles.DeleteCustomProfile(c.Options());
    EXPECT_EQ(std::filesystem::last_write_time(path), stamp);

    TMemoryChoiceList empty;
    TOptionLists lists = c.Options();
    lists.cbbCustomProfile = &empty;
    empty.SetText("Voice");
    profiles.DeleteCustomProfile(lists); // no entries: nothing is erased
    EXPECT_EQ(program.Store(), "\r\n[Voice]\r\nVoice=0|0|0|1|1|3\r\n");
}

TEST_F(ProfileFuncTest, MainProfileListFollowsTheStore)
{
    WriteStore("\r\n[A]\r\nA=0|0|0|1|1|3\r\n\r\n[B]\r\nB=0|0|0|2|1|3\r\n");
    StartUp();
    ChooseOutputType(otAc3);
    ChooseProfile(6); // B
    SelectCustom(0);
    profiles.DeleteCustomProfile(c.Options()); // A
    profiles.KeepProfileComboInStep(c.cbbProfile);
    EXPECT_EQ(c.cbbProfile.Count(), 6);
    EXPECT_EQ(c.cbbProfile.ItemIndex(), 5);
    EXPECT_EQ(c.cbbProfile.SelectedItem(), "B");

    SelectCustom(0);
    profiles.DeleteCustomProfile(c.Options()); // B, the one chosen
    profiles.KeepProfileComboInStep(c.cbbProfile);
    EXPECT_EQ(c.cbbProfile.Count(), 5);
    EXPECT_EQ(c.cbbProfile.SelectedItem(), "Normal Quality");

    ChooseProfile(3);
    profiles.KeepProfileComboInStep(c.cbbProfile);
    EXPECT_EQ(c.cbbProfile.ItemIndex(), 3);
}

TEST_F(ProfileFuncTest, CounterKeepsGrowingFromAHandEditedValue)
{
    WriteWholeFile(program.ConfigFile("UserProfileCount.ini"), "\r\n[count]\r\ncount=0x10\r\n");
    StartUp();
    EXPECT_EQ(profiles.AddCustomProfile(c.Options()), "UserProfileInfo17");
    WriteWholeFile(program.ConfigFile("UserProfileCount.ini"), "[count]\r\ncount=2147483647\r\n");
    EXPECT_EQ(profiles.AddCustomProfile(c.Options()), "UserProfileInfo2147483647");
}

TEST(ProfileFailures, MissingConfigFolderReachesTheCallerAsCannotCreateFile)
{
    tqtest::ProgramFolder program(false);
    tqtest::ScriptedNamePrompt prompt;
    TProfileFunc profiles(program.Path(), prompt);
    tqtest::MemoryProfileControls c;
    profiles.FillAllCombos(c.Main(), c.Options());
    profiles.ApplyProfile(c.Main(), c.Options());
    EXPECT_EQ(c.cbbProfile.Count(), 5);

    try {
        profiles.AddCustomProfile(c.Options());
        FAIL() << "Add succeeded without a Config folder";
    } catch (const EFCreateError &error) {
        const std::string message = error.what();
        EXPECT_EQ(message.rfind("Cannot create file \"" + program.Path() +
                                    "Config/UserProfileCount.ini\". ",
                                0),
                  0u)
            << message;
    }
    EXPECT_TRUE(prompt.proposals.empty()); // the counter fails before the prompt

    c.cbbCustomProfile.SetText("Voice");
    EXPECT_THROW(profiles.SaveCustomProfile(c.Options()), EFCreateError);
}

TEST(ProfileFailures, UnwritableStoreReachesTheCaller)
{
    tqtest::ProgramFolder program;
    tqtest::ScriptedNamePrompt prompt;
    TProfileFunc profiles(program.Path(), prompt);
    tqtest::MemoryProfileControls c;
    profiles.FillAllCombos(c.Main(), c.Options());
    // A folder where the store file should be cannot be written as a file.
    std::filesystem::create_directory(program.ConfigFile("UserProfileInfo.ini"));
    prompt.answers = {std::string("Voice")};
    EXPECT_THROW(profiles.AddCustomProfile(c.Options()), EFCreateError);
    EXPECT_EQ(program.Counter(), "\r\n[count]\r\ncount=1\r\n");
}

TEST(ProfileValueText, StrToIntAcceptsDecimalAndHexOnly)
{
    EXPECT_EQ(TProfileValue::StrToInt("-7"), -7);
    EXPECT_EQ(TProfileValue::StrToInt("+12"), 12);
    EXPECT_EQ(TProfileValue::StrToInt("$1F"), 31);
    EXPECT_EQ(TProfileValue::StrToInt("0x1f"), 31);
    EXPECT_EQ(TProfileValue::StrToInt(" 5"), 5);
    EXPECT_EQ(TProfileValue::StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(TProfileValue::StrToInt("-2147483648"), INT32_MIN);
    for (const char *bad : {"", "5 ", "12abc", "none", "2147483648", "$", "1.0", "--1", "$1G"}) {
        EXPECT_THROW(TProfileValue::StrToInt(bad), EConvertError) << bad;
    }
}

} // namespace
