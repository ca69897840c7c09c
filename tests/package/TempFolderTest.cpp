#include "package/TempFolder.h"

#include "package/PlayerFolder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::string OwnFolderName() {
    return "tavrin-" + std::to_string(getuid());
}

} // namespace

TEST(TempFilePath, AppendsASeparatorOnlyWhenMissing) {
    EXPECT_EQ(TempFilePath("/run/user/1000", "tavrin.jpg"), "/run/user/1000/tavrin.jpg");
    EXPECT_EQ(TempFilePath("/run/user/1000/", "tavrin.jpg"), "/run/user/1000/tavrin.jpg");
}

TEST(UserTempFolder, PrefersTheRuntimeFolder) {
    ScratchFolder runtime;
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", runtime.Path().c_str());
    const Result<std::string> result = UserTempFolder();
    ASSERT_TRUE(result.Ok()) << result.Error().What;
    EXPECT_EQ(*result, runtime.Path());
}

TEST(UserTempFolder, WithoutARuntimeFolderMakesAPrivateFolderInTmpdir) {
    ScratchFolder tmp;
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", nullptr);
    ScopedEnvironment tmpdir("TMPDIR", tmp.Path().c_str());
    const Result<std::string> result = UserTempFolder();
    ASSERT_TRUE(result.Ok()) << result.Error().What;
    EXPECT_EQ(*result, tmp.File(OwnFolderName()));
    EXPECT_EQ(ModeOf(*result), 0700u);
}

TEST(UserTempFolder, ARuntimeFolderThatIsMissingIsPassedOver) {
    ScratchFolder tmp;
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", tmp.File("missing").c_str());
    ScopedEnvironment tmpdir("TMPDIR", tmp.Path().c_str());
    EXPECT_EQ(*UserTempFolder(), tmp.File(OwnFolderName()));
}

TEST(UserTempFolder, AnExistingFolderOpenToOthersIsMadePrivate) {
    ScratchFolder tmp;
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", nullptr);
    ScopedEnvironment tmpdir("TMPDIR", tmp.Path().c_str());
    const std::string folder = tmp.File(OwnFolderName());
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    chmod(folder.c_str(), 0777);
    ASSERT_TRUE(UserTempFolder().Ok());
    EXPECT_EQ(ModeOf(folder), 0700u);
}

TEST(UserTempFolder, APlantedLinkInPlaceOfTheFolderIsRefused) {
    ScratchFolder tmp;
    ScratchFolder elsewhere;
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", nullptr);
    ScopedEnvironment tmpdir("TMPDIR", tmp.Path().c_str());
    ASSERT_EQ(symlink(elsewhere.Path().c_str(), tmp.File(OwnFolderName()).c_str()), 0);
    const Result<std::string> result = UserTempFolder();
    EXPECT_FALSE(result.Ok());
    EXPECT_NE(result.Error().What.find(OwnFolderName()), std::string::npos) << result.Error().What;
}

TEST(UserTempFolder, AFolderThatCannotBeMadeIsReportedInThePlatformsWords) {
    ScratchFolder tmp;
    WriteBytes(tmp.File("file"), {1});
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", nullptr);
    ScopedEnvironment tmpdir("TMPDIR", tmp.File("file").c_str());
    const Result<std::string> result = UserTempFolder();
    EXPECT_FALSE(result.Ok());
    EXPECT_NE(result.Error().What.find("Not a directory"), std::string::npos)
        << result.Error().What;
}

TEST(WritePrivateFile, CreatesAFileOnlyTheUserCanRead) {
    ScratchFolder folder;
    EXPECT_TRUE(WritePrivateFile(folder.File("a"), Bytes{1, 2, 3}).Ok());
    EXPECT_EQ(ReadBytes(folder.File("a")), (Bytes{1, 2, 3}));
    EXPECT_EQ(ModeOf(folder.File("a")), 0600u);
}

TEST(WritePrivateFile, TruncatesAnOlderFileAndTightensItsMode) {
    ScratchFolder folder;
    WriteBytes(folder.File("a"), Bytes(100, 9));
    chmod(folder.File("a").c_str(), 0666);
    EXPECT_TRUE(WritePrivateFile(folder.File("a"), Bytes{7}).Ok());
    EXPECT_EQ(ReadBytes(folder.File("a")), Bytes{7});
    EXPECT_EQ(ModeOf(folder.File("a")), 0600u);
}

TEST(WritePrivateFile, NeverWritesThroughALink) {
    ScratchFolder folder;
    WriteBytes(folder.File("victim"), Bytes{42});
    ASSERT_EQ(symlink(folder.File("victim").c_str(), folder.File("tavrin.jpg").c_str()), 0);
    EXPECT_FALSE(WritePrivateFile(folder.File("tavrin.jpg"), Bytes{1, 2}).Ok());
    EXPECT_EQ(ReadBytes(folder.File("victim")), Bytes{42});
}

// Each running player has a folder of its own; one left by a player that ended is removed by
// the next start, a running one's never, and a link that looks like one is not followed.
TEST(PlayerFolder, EveryPlayerHasItsOwnAndOnlyEndedPlayersFoldersAreRemoved) {
    const ScratchFolder user;
    const ScratchFolder elsewhere;
    WriteBytes(elsewhere.File("tavrin.jpg"), Bytes{42});
    ASSERT_EQ(symlink(elsewhere.Path().c_str(), user.File("tavrin-player-link").c_str()), 0);
    const std::string ended = user.File("tavrin-player-ended");
    ASSERT_EQ(mkdir(ended.c_str(), 0700), 0);
    WriteBytes(ended + "/tavrin.jpg", Bytes{1});
    WriteBytes(ended + "/tavrin.mid", Bytes{2});

    PlayerFolder first;
    ASSERT_TRUE(first.Create(user.Path()).Ok());
    EXPECT_FALSE(FileExists(ended));
    EXPECT_EQ(ModeOf(first.Path()), 0700u);
    WriteBytes(TempFilePath(first.Path(), "tavrin.jpg"), Bytes{3});

    PlayerFolder second;
    ASSERT_TRUE(second.Create(user.Path()).Ok());
    EXPECT_NE(second.Path(), first.Path());
    EXPECT_EQ(ReadBytes(TempFilePath(first.Path(), "tavrin.jpg")), Bytes{3});

    const std::string firstPath = first.Path();
    first.Remove();
    EXPECT_FALSE(FileExists(firstPath));
    EXPECT_TRUE(FileExists(second.Path()));
    EXPECT_EQ(ReadBytes(elsewhere.File("tavrin.jpg")), Bytes{42});
}
