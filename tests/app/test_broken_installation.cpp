// Start-up with a missing or damaged graphics archive: the main window cannot
// be built, the fault names the archive and its problem, the player is told
// in the chosen language, and nothing is written.
#include <QApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "GameTestFolder.h"
#include "app/uBrokenInstallation.h"
#include "app/ufSpielfeld.h"
#include "archive/QDStreamCol.h"
#include "archive/Streams.h"
#include "archive/uPaths.h"
#include "game/uTSettings.h"
#include "i18n/lngDialogs.h"

namespace tessum {
namespace {

namespace fs = std::filesystem;

const char* const Archives[] = {"game.gfx", "steine.gfx", "mulden.gfx", "hands.gfx", "holz.gfx"};

// The shipped archives copied into a data folder of their own, beside a user
// folder that holds only the chosen language.
class TBrokenInstallation : public test::TProgramFolderTest {
protected:
    void SetUp() override {
        test::TProgramFolderTest::SetUp();
        data_ = folder_ + "/data";
        fs::create_directories(data_);
        for (const char* Name : Archives) fs::copy_file(DataFile(Name), data_ + "/" + Name);
        SetDataFolder(data_);
        WriteFile("settings.ini", "[settings]\nlanguage=english\n");
    }
    void TearDown() override {
        SetDataFolder("");
        SetDialogLanguage("");
        test::TProgramFolderTest::TearDown();
    }

    // The fault the main window fails with, if any.
    std::optional<std::pair<std::string, TArchiveProblem>> BuildWindow() {
        TMessageDialogAnswerer Answers;  // the start sound's splash and any message
        try {
            TfSpielfeld Window;
        } catch (const TArchiveFault& Fault) {
            return std::pair(Fault.ArchiveFileName(), Fault.Problem());
        }
        return std::nullopt;
    }

    void Cut(const std::string& Name) {
        const fs::path File = data_ + "/" + Name;
        fs::resize_file(File, fs::file_size(File) / 2);
    }

    std::vector<std::string> UserFiles() const {
        std::vector<std::string> Names;
        for (const auto& E : fs::directory_iterator(folder_)) Names.push_back(E.path().filename().string());
        std::sort(Names.begin(), Names.end());
        return Names;
    }

    std::string data_;
};

TEST_F(TBrokenInstallation, EachArchiveReadAtStartUpIsNamedWithItsProblemAndNothingIsWritten) {
    const std::string Settings = ReadFile("settings.ini");
    for (const char* Name : {"steine.gfx", "mulden.gfx", "hands.gfx", "game.gfx"}) {
        const std::string File = data_ + "/" + Name;
        fs::rename(File, File + ".away");
        EXPECT_EQ(BuildWindow(), std::pair(File, TArchiveProblem::Missing)) << Name;
        fs::rename(File + ".away", File);

        fs::copy_file(File, File + ".good");
        Cut(Name);
        EXPECT_EQ(BuildWindow(), std::pair(File, TArchiveProblem::Damaged)) << Name;
        fs::rename(File + ".good", File);
    }
    // A good container whose picture is broken.
    {
        TQDStreams Archive;
        TMemoryStream Broken(std::vector<std::uint8_t>{'B', 'M', 0, 0, 0, 0});
        Archive.AddStream("st1.bmp", Broken);
        WriteFileSafely(data_ + "/steine.gfx", [&](TStream& Out) { Archive.SaveToStream(Out); });
    }
    EXPECT_EQ(BuildWindow(), std::pair(data_ + "/steine.gfx", TArchiveProblem::Damaged));
    EXPECT_EQ(ReadFile("settings.ini"), Settings);
    EXPECT_EQ(UserFiles(), std::vector<std::string>({"data", "settings.ini"}));
}

TEST_F(TBrokenInstallation, ThePlayerIsToldInTheChosenLanguageAndTheExitStatusIsOne) {
    const TArchiveFault Missing(data_ + "/steine.gfx", TArchiveProblem::Missing);
    const TArchiveFault Damaged(data_ + "/game.gfx", TArchiveProblem::Damaged);
    const TArchiveFault Unreadable(data_ + "/hands.gfx", TArchiveProblem::Unreadable);

    const QString En = BrokenInstallationText(Missing, "english");
    EXPECT_TRUE(En.startsWith(QString::fromStdString("The file " + data_ + "/steine.gfx is missing."))) << En.toStdString();
    EXPECT_TRUE(En.contains(QStringLiteral("Install the program again"))) << En.toStdString();
    const QString De = BrokenInstallationText(Damaged, "german");
    EXPECT_TRUE(De.startsWith(QString::fromStdString("Die Datei " + data_ + "/game.gfx ist besch\u00e4digt.")))
        << De.toStdString();
    EXPECT_TRUE(De.contains(QStringLiteral("Installieren Sie das Programm neu"))) << De.toStdString();
    EXPECT_TRUE(BrokenInstallationText(Unreadable, "english").contains(QStringLiteral("cannot be read")));

    // The settings say English; German when no language is chosen yet.
    for (const auto& [Settings, Expected] : {std::pair{"[settings]\nlanguage=english\n", "The file "},
                                             std::pair{"", "Die Datei "}}) {
        WriteFile("settings.ini", Settings);
        TMessageDialogAnswerer Answers;
        EXPECT_EQ(ReportBrokenInstallation(Missing), 1);
        ASSERT_EQ(Answers.Shown().size(), 1u);
        EXPECT_TRUE(Answers.Shown()[0].Text.startsWith(QString::fromLatin1(Expected)))
            << Answers.Shown()[0].Text.toStdString();
    }
}

}  // namespace
}  // namespace tessum
