#include "formats/Catalogue.h"

#include "ProfileTestSupport.h"
#include "formats/MemoryChoiceList.h"
#include "formats/ProfileFunc.h"

#include <gtest/gtest.h>

namespace {

using tqtest::ProgramFolder;
using tqtest::ScriptedNamePrompt;

TEST(Catalogue, ChoiceTablesEndWithTheirDefaultIndex)
{
    struct Expect
    {
        TCatalogueTable table;
        size_t choices;
        const char *defaultChoice;
    };
    const Expect expected[] = {
        {TCatalogueTable::OutputTypeNames, 7, "AMR Audio Files (*.amr)"},
        {TCatalogueTable::QualityNames, 5, "Normal Quality"},
        {TCatalogueTable::AudioBitrates, 9, "48"},
        {TCatalogueTable::SampleRates, 4, "44100"},
        {TCatalogueTable::AudioChannelNames, 2, "2 channels, Stereo"},
        {TCatalogueTable::VolumeGains, 21, "200"},
        {TCatalogueTable::VideoSizes, 5, "176x144"},
        {TCatalogueTable::VideoBitrates, 5, "128"},
        {TCatalogueTable::FrameRates, 2, "15"},
        {TCatalogueTable::AspectRatios, 2, "4:3"},
    };
    for (const Expect &e : expected) {
        const auto rows = TCatalogue::NewCatalogueList(e.table);
        ASSERT_TRUE(TCatalogue::IsChoiceTable(e.table));
        ASSERT_EQ(rows.size(), e.choices + 1) << e.defaultChoice;
        EXPECT_EQ(rows[static_cast<size_t>(std::stoi(rows.back()))], e.defaultChoice);
    }
    const auto gains = TCatalogue::NewCatalogueList(TCatalogueTable::VolumeGains);
    EXPECT_EQ(gains.front(), "0");
    EXPECT_EQ(gains[20], "500");
    EXPECT_EQ(TCatalogue::NewCatalogueList(TCatalogueTable::OutputTypeNames)[6], "WAV Audio Files");
}

TEST(Catalogue, LookupsByOutputType)
{
    EXPECT_EQ(TCatalogue::CodecOption(otAac), "-acodec aac -vn");
    EXPECT_EQ(TCatalogue::CodecOption(otM4a), "-acodec aac -vn");
    EXPECT_EQ(TCatalogue::OutputExtension(otAac), ".aac");
    EXPECT_EQ(TCatalogue::OutputExtension(otM4a), ".m4a");
    EXPECT_EQ(TCatalogue::CodecOption(otAmr), "-acodec amr_nb");
    EXPECT_EQ(TCatalogue::CodecOption(otWav), "-acodec pcm_s16le -vn");
    for (int type = 0; type < kOutputTypeCount; ++type) {
        EXPECT_EQ(TCatalogue::OutputFormat(type), "none");
        EXPECT_EQ(TCatalogue::CodecOption(type).rfind("-acodec", 0), 0u);
    }
    EXPECT_EQ(TCatalogue::CodecOption(7), "");
    EXPECT_EQ(TCatalogue::OutputExtension(-1), "");
    EXPECT_EQ(TCatalogue::PresetRow(-1, 2), kNoProfileValues);
    EXPECT_EQ(TCatalogue::PresetRow(otMp3, 5), kNoProfileValues);
}

TEST(Catalogue, FillChoiceComboAppendsAndSelectsTheDefault)
{
    ProgramFolder program;
    ScriptedNamePrompt prompt;
    TProfileFunc profiles(program.Path(), prompt);
    TMemoryChoiceList list;
    profiles.FillChoiceCombo(list, TCatalogueTable::AudioBitrates);
    EXPECT_EQ(list.Count(), 9);
    EXPECT_EQ(list.SelectedItem(), "48");
    profiles.FillChoiceCombo(list, TCatalogueTable::AudioBitrates);
    EXPECT_EQ(list.Count(), 18); // filling appends
    EXPECT_EQ(list.Item(9), "16");
    EXPECT_EQ(list.ItemIndex(), 2);
}

} // namespace
