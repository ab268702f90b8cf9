// Convert pressed in the started program: the main window, the Options dialog's lists, the job
// grid, the progress window and the real encoder together.
#include "ConversionFakes.h"
#include "MediaCheck.h"
#include "ShellFixture.h"
#include "TestMedia.h"
#include "shell/MainForm.h"
#include "shell/ServiceObjects.h"
#include "toolkit/JobGrid.h"
#include "toolkit/PictureButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

TEST(ConvertButton, ConvertsTheJobGridWithTheShownValues)
{
    tqtest::ShellFixture fixture;
    fixture.CopySibling("evc");
    std::filesystem::permissions(fixture.folder.File("evc"), std::filesystem::perms::owner_all);
    ASSERT_TRUE(std::filesystem::exists(fixture.folder.File("evc")));
    TShellPlatform platform = fixture.Platform();
    tqtest::RecordingPower power;
    platform.Power = &power;
    platform.ConversionTimings.BeforeStartMs = 50;
    platform.ConversionTimings.AfterEndMs = 50;
    platform.ConversionTimings.AfterOutputMs = 100;
    TTonequillApp app(platform);
    ASSERT_TRUE(app.Started());
    tqtest::ChildrenOnlyTable table;
    app.Services().CustomProc().UseProcessTable(table);
    app.Services().CommonLib().UseProcessTable(table);
    app.Show();
    TFrmMainForm &main = *app.MainForm();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    tqtest::TestFolder media;
    tqtest::ToneSpec spec;
    spec.seconds = 3;
    const std::string source = media.File("a song.ogg");
    std::string error;
    ASSERT_TRUE(tqtest::MakeToneFile(source, spec, &error)) << error;
    main.dxTreeSourceFileInfo->AppendRow(
        {"True", source, "1 KB", "00:00:03", "00:00:01", "00:00:03", "00:00:02"});
    main.edtOutputFolder->setText(QString::fromStdString(media.File("out")));
    main.cbbOutputFiletype->setCurrentIndex(2); // MP3, with the values AMR's profile left
    main.chkShutdown->setChecked(true);

    QTest::mouseClick(main.btnConvert, Qt::LeftButton);

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
