// Whole batches with the real encoder and the real progress window on the offscreen platform.
#include "ConversionRig.h"
#include "MediaCheck.h"
#include "TestFolder.h"
#include "TestMedia.h"
#include "TestText.h"
#include "conversion/FrmConverting.h"
#include "support/FileFunc.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

class EndToEnd : public ::testing::Test, protected tqtest::ConversionRig
{
protected:
    EndToEnd() : window(proc, lib, messages, mainWindow)
    {
        settings.outputFolder = media.File("out");
        timings.AfterOutputMs = 100;
        Connect(window, tqtest::ProgramFolder());
    }

    std::string MakeSource(const std::string &name, const tqtest::ToneSpec &spec)
    {
        return tqtest::MakeToneIn(media, name, spec);
    }

    tqtest::TestFolder media;
    TfrmConverting window;
};

struct OutputCase
{
    int type;
    std::string extension;
    std::string codec;
    std::string channelsItem;
    std::string rate;
    int channels;
    int sampleRate;
};

} // namespace

TEST_F(EndToEnd, SeveralSourceTypesIntoEverySevenOutputTypes)
{
    ASSERT_TRUE(std::filesystem::exists(tqtest::ProgramFolder() + "evc"));
    tqtest::ToneSpec spec;
    spec.seconds = 3;
    const std::vector<std::string> sources = {MakeSource("clip.avi",
                                                         [&] {
                                                             auto s = spec;
                                                             s.withVideo = true;
                                                             return s;
                                                         }()),
                                              MakeSource("song one.mp3", spec),
                                              MakeSource("voice.ogg", spec),
                                              MakeSource("talk.wma", spec),
                                              MakeSource("film.mp4", spec),
                                              MakeSource("tone.wav", spec),
                                              MakeSource("music.flv", spec)};

    const std::vector<OutputCase> cases = {
        {0, ".amr", "amr_nb", "2 channels, Stereo", "44100", 1, 8000},
        {1, ".aac", "aac", "2 channels, Stereo", "44100", 2, 44100},
        {2, ".mp3", "mp3", "1 channel, Mono", "32000", 1, 32000},
        {3, ".ac3", "ac3", "2 channels, Stereo", "48000", 2, 48000},
        {4, ".m4a", "aac", "1 channel, Mono", "22050", 1, 22050},
        {5, ".ogg", "vorbis", "2 channels, Stereo", "44100", 2, 44100},
        {6, ".wav", "pcm_s16le", "1 channel, Mono", "22050", 1, 22050}};

    for (const OutputCase &c : cases) {
        SCOPED_TRACE(c.extension);
        const std::string out = media.File("out" + c.extension.substr(1) + "/");
        std::filesystem::create_directories(out);
        settings.outputFolder = out;
        settings.outputType = c.type;
        settings.items[TOptionList::Channels] = c.channelsItem;
        settings.items[TOptionList::SampleRate] = c.rate;
        settings.items[TOptionList::AudioBitrate] = c.type == 0 ? "16" : "128";
        rows.DeleteAllRows();
        const std::string &first = sources[static_cast<std::size_t>(c.type)];
        const std::string &second = sources[static_cast<std::size_t>((c.type + 1) % 7)];
        rows.Add(first, "00:00:01", "00:00:03"); // a segment of 2 seconds
        rows.Add(second, "00:00:00", "00:00:03");
        // An earlier output of the first source's name stays as it is.
        const std::string earlier = out + TFileFunc::BaseName(first) + c.extension;
        tqtest::WriteWholeFile(earlier, "earlier output");

        proc.ConvertAll(rows);

        EXPECT_EQ(tqtest::ReadWholeFile(earlier), "earlier output");
        const std::string segmentOutput = out + TFileFunc::BaseName(first) + "_1" + c.extension;
        const std::string wholeOutput = out + TFileFunc::BaseName(second) + c.extension;
        const evctest::AudioFacts segment = evctest::InspectAudio(segmentOutput);
        const evctest::AudioFacts whole = evctest::InspectAudio(wholeOutput);
        ASSERT_TRUE(segment.ok) << segmentOutput << ": " << segment.error;
        ASSERT_TRUE(whole.ok) << wholeOutput << ": " << whole.error;
        for (const evctest::AudioFacts *facts : {&segment, &whole}) {
            EXPECT_EQ(facts->codec, c.codec);
            EXPECT_EQ(facts->channels, c.channels);
            EXPECT_EQ(facts->sampleRate, c.sampleRate);
        }
        EXPECT_NEAR(segment.Seconds(), 2.0, 0.1);
        EXPECT_NEAR(whole.Seconds(), 3.0, 0.15);
        EXPECT_TRUE(proc.FailedRows().empty());
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(mainWindow.enabled);
    }
    EXPECT_TRUE(presenter.requests.empty());
    EXPECT_EQ(opener.opened.size(), cases.size());
    EXPECT_EQ(power.powerOffs, 0);
    EXPECT_TRUE(table.Snapshot().empty());
}

TEST_F(EndToEnd, AStopInTheMiddleOfALongFileEndsTheBatch)
{
    tqtest::ToneSpec shortSpec;
    shortSpec.seconds = 2;
    tqtest::ToneSpec longSpec;
    longSpec.seconds = 1200;
    longSpec.sampleRate = 8000;
    longSpec.channels = 1;
    const std::string before = MakeSource("before.wav", shortSpec);
    const std::string longFile = MakeSource("long.wav", longSpec);
    const std::string after = MakeSource("after.wav", shortSpec);
    rows.Add(before, "00:00:00", "00:00:02");
    rows.Add(longFile, "00:00:00", "00:20:00");
    rows.Add(after, "00:00:00", "00:00:02");
    settings.outputType = 5; // OGG, the slowest encoder
    mainWindow.shutdown = true;

    bool clicked = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!clicked && proc.RowIndex == 1 && proc.RefreshCount >= 3 && window.isVisible()) {
            clicked = true;
            EXPECT_GT(window.ProgressBar1->value(), 0);
            EXPECT_EQ(window.pbTotal->maximum(), 300);
            QTest::mouseClick(window.btnStop, Qt::LeftButton);
        }
    });
    watcher.start(50);
    proc.ConvertAll(rows);
    watcher.stop();

    ASSERT_TRUE(clicked);
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_EQ(presenter.requests[0].text, "Are you sure you want to stop the work ? ");
    EXPECT_EQ(presenter.requests[0].buttons, TMessageButtons::YesNo);
    EXPECT_TRUE(table.Snapshot().empty());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(mainWindow.enabled);
    EXPECT_EQ(window.lblPersent->text(), "Current: 1, Total: ...");
    EXPECT_EQ(window.pbTotal->value(), 0);
    // Neither a cut-off file under the output's name nor the encoder's unfinished one is left.
    std::vector<std::string> left;
    for (const auto &entry : std::filesystem::directory_iterator(media.File("out")))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"before.ogg"});
    EXPECT_EQ(tqtest::CountOf(Log(), "|parameter: "), 2);
    EXPECT_EQ(tqtest::CountOf(Log(), "|Get Process id error."), 4);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_EQ(power.powerOffs, 0);
}

TEST_F(EndToEnd, AnUnreadableFileEndsWithTheFailureWarning)
{
    tqtest::ToneSpec spec;
    spec.seconds = 2;
    const std::string good = MakeSource("good.mp3", spec);
    const std::string broken = media.File("broken.mp3");
    tqtest::WriteWholeFile(broken, std::string(4096, '\x5a'));
    const std::string alsoGood = MakeSource("also good.m4a", spec);
    rows.Add(good, "00:00:00", "00:00:02");
    rows.Add(broken, "00:00:00", "00:00:02");
    rows.Add(alsoGood, "00:00:00", "00:00:02");
    settings.outputType = 6;

    proc.ConvertAll(rows);

    EXPECT_TRUE(evctest::InspectAudio(media.File("out/good.wav")).ok);
    EXPECT_TRUE(evctest::InspectAudio(media.File("out/also good.wav")).ok);
    ASSERT_EQ(proc.FailedRows().size(), 1u);
    EXPECT_EQ(proc.FailedRows()[0].FileName, broken);
    EXPECT_FALSE(proc.FailedRows()[0].Reason.empty());
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_EQ(presenter.requests[0].icon, TMessageIcon::Warning);
    EXPECT_EQ(presenter.requests[0].text.rfind("This file could not be converted:\n\n" + broken, 0),
              0u)
        << presenter.requests[0].text;
    EXPECT_NE(Log().find("|Conversion error. ->" + broken + "|"), std::string::npos);
    EXPECT_FALSE(window.isVisible());
}
