#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "data/safe_save.h"
#include "test_files.h"

namespace {

const std::string kOld = "the file the user had before\n";

TEST(SafeSave, ReplacesTheFileAndLeavesNothingElse) {
    TemporaryFolder folder;
    const std::string path = folder.File("out.par");
    WriteWholeFile(path, kOld);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(SaveBytesSafely(path, "new content"));
    EXPECT_EQ(ReadWholeFile(path), "new content");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.par"});
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // Relative to the current folder as well.
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    EXPECT_TRUE(SaveBytesSafely("plain.par", "x"));
    std::filesystem::current_path(here);
    EXPECT_EQ(ReadWholeFile(folder.File("plain.par")), "x");
}

TEST(SafeSave, ALinkIsFollowedAndStaysALink) {
    TemporaryFolder folder;
    WriteWholeFile(folder.File("real.par"), kOld);
    std::filesystem::create_symlink("real.par", folder.File("link.par"));
    ASSERT_TRUE(SaveBytesSafely(folder.File("link.par"), "via link"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.par")));
    EXPECT_EQ(ReadWholeFile(folder.File("real.par")), "via link");
}

TEST(SafeSave, FailuresKeepTheOldFileAndLeaveNoTemporary) {
    TemporaryFolder folder;
    const std::string path = folder.File("out.par");
    WriteWholeFile(path, kOld);
    EXPECT_FALSE(SaveFileSafely(path, [](std::FILE* file) {
        std::fputs("half", file);
        return false;
    }));
    EXPECT_FALSE(SaveBytesSafely(folder.File("missing/out.par"), "x"));
    EXPECT_FALSE(SaveBytesSafely(folder.Path() + "/", "x"));
    std::filesystem::create_directory(folder.File("sub"));
    EXPECT_FALSE(SaveBytesSafely(folder.File("sub"), "x"));  // a folder is not replaced
    EXPECT_EQ(ReadWholeFile(path), kOld);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"out.par", "sub"}));
    EXPECT_TRUE(std::filesystem::is_empty(folder.File("sub")));
}

// A full disk, simulated by a file size limit: the write (or the flush
// behind it) fails after the temporary file was opened. Run in a child so
// the limit cannot touch anything else the test process writes.
TEST(SafeSave, AFullDiskKeepsTheOldFile) {
    TemporaryFolder folder;
    const std::string path = folder.File("big.wav");
    WriteWholeFile(path, kOld);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
        const std::string big(1 << 20, 'x');
        const bool small = SaveBytesSafely(folder.File("small.par"), "fits");
        const bool large = SaveBytesSafely(path, big);
        _exit(small && !large ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadWholeFile(path), kOld);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"big.wav", "small.par"}));
}

}  // namespace
