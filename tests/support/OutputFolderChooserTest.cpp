#include "support/OutputFolderChooser.h"

#include "SupportFakes.h"
#include "TestFolder.h"
#include "Unprivileged.h"
#include "support/MessageBoxes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using tqtest::TestFolder;

QStringList EntriesOf(const std::string &folder)
{
    return QDir(QString::fromStdString(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

bool IsFolder(const std::string &path)
{
    return QDir(QString::fromStdString(path)).exists();
}

class ChooseOutputFolderTest : public ::testing::Test
{
protected:
    std::string Choose(const std::string &current)
    {
        return TOutputFolderChooser(m_dialog, m_messages).ChooseOutputFolder(current);
    }

    TestFolder m_folder;
    tqtest::RecordingPresenter m_presenter;
    TMessageBoxes m_messages{m_presenter};
    tqtest::ScriptedFolderDialog m_dialog;
};

TEST_F(ChooseOutputFolderTest, CancelKeepsAndCreatesTheCurrentFolder)
{
    const std::string current = m_folder.File("deep/er/tonequill");
    EXPECT_EQ(Choose(current), current);
    EXPECT_TRUE(IsFolder(current));
    EXPECT_EQ(m_dialog.titles, std::vector<std::string>{"Please select output folder:"});
    EXPECT_TRUE(m_presenter.requests.empty());
}

TEST_F(ChooseOutputFolderTest, WritableFolderIsAcceptedAndLeftAsItWas)
{
    const std::string chosen = m_folder.File("music");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(chosen + "/test")));
    m_dialog.choices.push_back(chosen);
    EXPECT_EQ(Choose(m_folder.File("old")), chosen);
    EXPECT_EQ(EntriesOf(chosen), QStringList{"test"}) << "the user's own test folder stays";
    EXPECT_TRUE(m_presenter.requests.empty());
    EXPECT_FALSE(IsFolder(m_folder.File("old"))) << "the old folder is not created";
}

TEST_F(ChooseOutputFolderTest, RootLikeFolderWithTrailingSeparatorIsProbedInside)
{
    const std::string chosen = m_folder.Path(); // ends with "/"
    m_dialog.choices.push_back(chosen);
    EXPECT_EQ(Choose("/nonexistent-current"), chosen);
    EXPECT_TRUE(EntriesOf(chosen).isEmpty());
}

TEST_F(ChooseOutputFolderTest, MissingFolderIsInvalid)
{
    const std::string current = m_folder.File("current");
    m_dialog.choices.push_back(m_folder.File("vanished"));
    EXPECT_EQ(Choose(current), current);
    ASSERT_EQ(m_presenter.requests.size(), 1u);
    const TMessageBoxRequest &box = m_presenter.requests[0];
    EXPECT_EQ(box.text, "The path is invalid.");
    EXPECT_EQ(box.caption, "Tonequill");
    EXPECT_EQ(box.icon, TMessageIcon::Warning);
    EXPECT_EQ(box.buttons, TMessageButtons::Ok);
    EXPECT_FALSE(box.applicationModal);
    EXPECT_TRUE(IsFolder(current));
    EXPECT_FALSE(IsFolder(m_folder.File("vanished")));
}

TEST_F(ChooseOutputFolderTest, ReadOnlyFolderIsRefused)
{
    const std::string chosen = m_folder.File("readonly");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(chosen)));
    const QString qchosen = QString::fromStdString(chosen);
    QFile::setPermissions(qchosen, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const std::string current = m_folder.File("current");
    m_dialog.choices.push_back(chosen);
    tqtest::RunWithFilePermissionsEnforced([&] {
        ASSERT_FALSE(QDir(qchosen).mkdir("probe-by-test")) << "the folder must refuse writes";
        EXPECT_EQ(Choose(current), current);
    });
    QFile::setPermissions(qchosen,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(m_presenter.Texts(), std::vector<std::string>{"This is a read-only path."});
    EXPECT_EQ(m_presenter.requests.at(0).icon, TMessageIcon::Warning);
    EXPECT_TRUE(IsFolder(current));
    EXPECT_TRUE(EntriesOf(chosen).isEmpty());
}

TEST_F(ChooseOutputFolderTest, AFileIsNotAFolder)
{
    tqtest::WriteWholeFile(m_folder.File("file"), "x");
    m_dialog.choices.push_back(m_folder.File("file"));
    EXPECT_EQ(Choose(m_folder.File("current")), m_folder.File("current"));
    EXPECT_EQ(m_presenter.Texts(), std::vector<std::string>{"The path is invalid."});
}

} // namespace
