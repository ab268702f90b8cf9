// Convert pressed in the started program: the main window, the Options dialog's lists, the job
// grid, the progress window and the real encoder together.
#include "ConversionFakes.h"
#include "MediaCheck.h"
#include "ShellFixture.h"
#include "TestMedia.h"
#include "conversion/FrmConverting.h"
#include "shell/MainForm.h"
#include "shell/ServiceObjects.h"
#include "toolkit/JobGrid.h"
#include "toolkit/PictureButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The program started on a temporary program folder with the real encoder and short pauses.
class ConvertButton : public ::testing::Test
{
protected:
    void Start(int afterEndMs)
    {
        fixture.CopySibling("evc");
        std::filesystem::permissions(fixture.folder.File("evc"), std::filesystem::perms::owner_all);
        ASSERT_TRUE(std::filesystem::exists(fixture.folder.File("evc")));
        TShellPlatform platform = fixture.Platform();
        platform.Power = &power;
        platform.ConversionTimings.BeforeStartMs = 50;
        platform.ConversionTimings.AfterEndMs = afterEndMs;
        platform.ConversionTimings.AfterOutputMs = 100;
        app = std::make_unique<TTonequillApp>(platform);
        ASSERT_TRUE(app->Started());
        app->Services().CustomProc().UseProcessTable(table);
        app->Services().CommonLib().UseProcessTable(table);
        app->Show();
        main = app->MainForm();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    }
    std::string Source(const std::string &name, const tqtest::ToneSpec &spec)
    {
        const std::string path = media.File(name);
        std::string error;
        EXPECT_TRUE(tqtest::MakeToneFile(path, spec, &error)) << error;
        return path;
    }

    tqtest::ShellFixture fixture;
    tqtest::RecordingPower power;
    tqtest::ChildrenOnlyTable table;
    tqtest::TestFolder media;
    std::unique_ptr<TTonequillApp> app;
    TFrmMainForm *main = nullptr;
};

} // namespace

TEST_F(ConvertButton, ConvertsTheJobGridWithTheShownValues)
{
    Start(50);
    tqtest::ToneSpec spec;
    spec.seconds = 3;
    const std::string source = Source("a song.ogg", spec);
    main->dxTreeSourceFileInfo->AppendRow(
        {"True", source, "1 KB", "00:00:03", "00:00:01", "00:00:03", "00:00:02"});
    main->edtOutputFolder->setText(QString::fromStdString(media.File("out")));
    main->cbbOutputFiletype->setCurrentIndex(2); // MP3, with the values AMR's profile left
    main->chkShutdown->setChecked(true);

    QTest::mouseClick(main->btnConvert, Qt::LeftButton);

    const std::string output = media.File("out/a song.mp3");
    const evctest::AudioFacts facts = evctest::InspectAudio(output);
    ASSERT_TRUE(facts.ok) << output << ": " << facts.error;
    EXPECT_EQ(facts.codec, "mp3");
    EXPECT_EQ(facts.channels, 1);
    EXPECT_EQ(facts.sampleRate, 22050);
    EXPECT_NEAR(facts.Seconds(), 2.0, 0.15);

    EXPECT_EQ(fixture.opener.opened, std::vector<std::string>{media.File("out/")});
    EXPECT_EQ(power.powerOffs, 1);
    const std::string log = tqtest::ReadWholeFile(fixture.folder.File("log.txt"));
    EXPECT_NE(log.find("|parameter: " + fixture.folder.File("evc") + " -y -i \"" + source +
                       "\" -acodec mp3 -vn -ab 128 -vol 200 -ac 1 -ar 22050 -ss 00:00:01 -t 3 \"" +
                       output + "\""),
              std::string::npos)
        << log;
    EXPECT_TRUE(table.Snapshot().empty());
}

// Stop gives the main window back at once, but the stopped batch still winds down: Convert
// shows that it cannot start another until then, and comes back when the batch has ended.
TEST_F(ConvertButton, IsDisabledFromAStopUntilTheStoppedBatchHasEnded)
{
    Start(1500);
    tqtest::ToneSpec spec;
    spec.seconds = 600;
    spec.sampleRate = 8000;
    spec.channels = 1;
    const std::string source = Source("long.wav", spec);
    main->dxTreeSourceFileInfo->AppendRow(
        {"True", source, "1 KB", "00:10:00", "00:00:00", "00:10:00", "00:10:00"});
    main->edtOutputFolder->setText(QString::fromStdString(media.File("out")));
    TfrmConverting &progress = *app->ProgressWindow();
    const TCustomProc &proc = app->Services().CustomProc();

    bool stopped = false;
    bool enabledAtStop = true;
    bool convertEnabledWhileWindingDown = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!stopped && proc.RefreshCount >= 2 && progress.isVisible()) {
            stopped = true;
            QTest::mouseClick(progress.btnStop, Qt::LeftButton);
            EXPECT_TRUE(main->isEnabled());
            EXPECT_TRUE(proc.Converting());
            enabledAtStop = main->btnConvert->isEnabled();
        } else if (stopped && proc.Converting()) {
            convertEnabledWhileWindingDown |= main->btnConvert->isEnabled();
        }
    });
    watcher.start(50);
    QTest::mouseClick(main->btnConvert, Qt::LeftButton); // returns when the batch has ended
    watcher.stop();

    ASSERT_TRUE(stopped);
    EXPECT_FALSE(enabledAtStop);
    EXPECT_FALSE(convertEnabledWhileWindingDown);
    EXPECT_FALSE(proc.Converting());
    EXPECT_TRUE(main->btnConvert->isEnabled());
    EXPECT_TRUE(main->isEnabled());
    EXPECT_FALSE(std::filesystem::exists(media.File("out/long.amr")));
}
