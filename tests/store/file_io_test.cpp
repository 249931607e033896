#include "store/file_io.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/text.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class FileIoTest : public ::testing::Test {
protected:
    // Names in a folder of the test directory, sorted.
    std::vector<std::string> Names(const wxString& folder = "") const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(ToUtf8(dir / folder)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
};

// Every byte comes back; text is UTF-8 without a signature; a longer file is replaced; new
// files have 0666 less the umask.
TEST_F(FileIoTest, WhatIsWrittenIsReadBackAndOnlyRegularFilesWithinTheLimitAreRead)
{
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7);
    const mode_t old = umask(022);
    ASSERT_TRUE(WriteBinaryFile(dir / "data.bin", bytes.data(), bytes.size()));
    umask(old);
    const auto read = ReadBinaryFile(dir / "data.bin").value_or(std::vector<char>());
    EXPECT_EQ(std::string(read.begin(), read.end()), bytes);
    EXPECT_EQ(fs::status(ToUtf8(dir / "data.bin")).permissions(), fs::perms(0644));

    const wxString text = wxString::FromUTF8("Привет\r\nline");
    ASSERT_TRUE(WriteTextFile(dir.Write("text.txt", std::string(1000, 'x')), text));
    EXPECT_EQ(ReadAll(dir / "text.txt"), "Привет\r\nline");
    EXPECT_EQ(ReadTextFile(dir / "text.txt"), text);
    EXPECT_EQ(Names(), (std::vector<std::string>{"data.bin", "text.txt"}));

    // A signature stays as U+FEFF, a zero byte ends the text; anything but a regular file within
    // the size limit is no file, read without waiting (a FIFO) or without reading it (3 GB).
    EXPECT_EQ(ReadTextFile(dir.Write("bom.txt", "\xEF\xBB\xBF" "abc")), wxString(L"\xFEFF" L"abc"));
    EXPECT_EQ(ReadTextFile(dir.Write("zero.txt", std::string("abc\0def", 7))), "abc");
    EXPECT_EQ(ReadBinaryFile(dir / "zero.txt", 7)->size(), 7u);
    EXPECT_EQ(ReadTextFile(dir / "zero.txt", 6), "");
    const wxString huge = dir.Write("huge", "x");
    fs::resize_file(ToUtf8(huge), 3ULL << 30);
    ASSERT_EQ(mkfifo(NativePath(dir / "fifo").c_str(), 0600), 0);
    for (const wxString& path : {dir / "missing", dir.MakeDir("folder"), dir / "fifo", wxString("/dev/zero")}) {
        EXPECT_FALSE(ReadBinaryFile(path).has_value()) << path;
        EXPECT_EQ(ReadTextFile(path), "") << path;
    }
    EXPECT_FALSE(ReadBinaryFile(huge, 4096).has_value());
    EXPECT_EQ(ReadTextFile(huge, 4096), "");
}

// A link at the target is replaced, not followed; a failed write leaves the target as it was
// and no temporary file behind, also where the directory cannot be written.
TEST_F(FileIoTest, WritesNeverGoThroughALinkAndFailuresLeaveTheTarget)
{
    const wxString target = dir.Write("target.txt", "original");
    ASSERT_EQ(symlink(NativePath(target).c_str(), NativePath(dir / "link.txt").c_str()), 0);
    ASSERT_TRUE(WriteTextFile(dir / "link.txt", "new"));
    EXPECT_EQ(ReadAll(target), "original");
    EXPECT_FALSE(fs::is_symlink(ToUtf8(dir / "link.txt")));
    EXPECT_FALSE(WriteTextFile(dir.MakeDir("taken"), "text"));
    EXPECT_FALSE(WriteTextFile(dir / "missing/file.txt", "text"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"link.txt", "taken", "target.txt"}));

    const wxString locked = dir.Write("locked/file.txt", "old");
    chmod(NativePath(dir.Path()).c_str(), 0755);
    chmod(NativePath(dir / "locked").c_str(), 0555);
    // Root writes anywhere: the write runs in a child that has dropped to "nobody".
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        _exit(WriteTextFile(locked, "new") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadAll(locked), "old");
    EXPECT_EQ(Names("locked"), std::vector<std::string>{"file.txt"});
}

// An AtomicFile appears whole on commit or not at all; its temporary lies beside the target
// and is named as only the program's own temporaries are: ".~dralvo-", 12 of [a-z0-9], ".tmp".
TEST_F(FileIoTest, AtomicFileAppearsWholeOnCommitOrNotAtAll)
{
    EXPECT_TRUE(IsTemporaryName(".~dralvo-0123456789az.tmp"));
    for (const char* name :
         {".~dralvo.tmp", ".~dralvo-0123456789AZ.tmp", ".~dralvo-0123456789abc.tmp",
          ".~dralvo-0123456789az.txt", "x.~dralvo-0123456789az.tmp"})
        EXPECT_FALSE(IsTemporaryName(name)) << name;
    const wxString target = dir.Write("target.txt", "old");
    {
        AtomicFile dropped(dir / "dropped.txt");
        ASSERT_TRUE(dropped.Create() && dropped.Write("half", 4));
        EXPECT_TRUE(IsTemporaryName(FromUtf8(fs::path(dropped.TempPath()).filename().string())));
        EXPECT_EQ(fs::path(dropped.TempPath()).parent_path(), fs::path(ToUtf8(dir.Path())).parent_path());
    }
    AtomicFile abandoned(target);
    ASSERT_TRUE(abandoned.Create() && abandoned.Write("new", 3));
    abandoned.Abandon();
    EXPECT_FALSE(abandoned.Commit());
    EXPECT_EQ(ReadAll(target), "old");
    AtomicFile file(target);
    ASSERT_TRUE(file.Create() && file.Write("abc", 3) && file.Write("def", 3) && file.Commit());
    EXPECT_EQ(ReadAll(target), "abcdef");
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_EQ(Names(), std::vector<std::string>{"target.txt"});
}

} // namespace
