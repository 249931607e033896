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
    // Names in the test directory's folder, "" for the directory itself.
    std::vector<std::string> Names(const wxString& folder = "") const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(ToUtf8(dir / folder)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static mode_t Mode(const wxString& path)
    {
        struct stat st {};
        EXPECT_EQ(stat(NativePath(path).c_str(), &st), 0);
        return st.st_mode & 0777;
    }

    TempDir dir;
};

TEST_F(FileIoTest, BinaryRoundTripKeepsEveryByte)
{
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7);
    const wxString path = dir / "data.bin";

    ASSERT_TRUE(WriteBinaryFile(path, bytes.data(), bytes.size()));
    const auto read = ReadBinaryFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(std::string(read->begin(), read->end()), bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{"data.bin"});
}

TEST_F(FileIoTest, TextRoundTripIsUtf8WithoutSignatureAndReplacesALongerFile)
{
    const wxString text = wxString::FromUTF8("Привет, мир\r\nsecond line");
    const wxString path = dir.Write("text.txt", std::string(1000, 'x'));
    ASSERT_TRUE(WriteTextFile(path, text));
    EXPECT_EQ(ReadAll(path), "Привет, мир\r\nsecond line");
    EXPECT_EQ(ReadTextFile(path), text);
}

TEST_F(FileIoTest, NewFileHasPermissionsLessTheUmask)
{
    const mode_t old = umask(022);
    const bool written = WriteTextFile(dir / "new.txt", "x");
    umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(Mode(dir / "new.txt"), 0644u);
}

TEST_F(FileIoTest, TextKeepsTheSignatureStopsAtZeroByteAndReadsEmptyFileAsEmpty)
{
    const wxString text = ReadTextFile(dir.Write("bom.txt", "\xEF\xBB\xBF" "abc"));
    ASSERT_EQ(text.length(), 4u);
    EXPECT_EQ(text[0], wxUniChar(0xFEFF));
    EXPECT_EQ(text.Mid(1), "abc");

    const wxString zero = dir.Write("zero.txt", std::string("abc\0def", 7));
    EXPECT_EQ(ReadTextFile(zero), "abc");
    EXPECT_EQ(ReadBinaryFile(zero)->size(), 7u);

    const wxString empty = dir.Write("empty.txt", "");
    ASSERT_TRUE(ReadBinaryFile(empty).has_value());
    EXPECT_TRUE(ReadBinaryFile(empty)->empty());
    EXPECT_EQ(ReadTextFile(empty), "");
}

// A fifo is read as no file without waiting for a writer.
TEST_F(FileIoTest, MissingFileDirectoryFifoAndDeviceAreNoFiles)
{
    dir.MakeDir("folder");
    ASSERT_EQ(mkfifo(NativePath(dir / "dralvo.txt").c_str(), 0600), 0);
    for (const wxString& path : {dir / "missing", dir / "folder", dir / "dralvo.txt"}) {
        EXPECT_FALSE(ReadBinaryFile(path).has_value()) << path;
        EXPECT_EQ(ReadTextFile(path), "") << path;
    }
    EXPECT_FALSE(ReadBinaryFile("/dev/zero").has_value());
}

TEST_F(FileIoTest, WriteReplacesALinkAndLeavesItsTargetAlone)
{
    const wxString target = dir.Write("target.txt", "original");
    const wxString link = dir / "link.txt";
    ASSERT_EQ(symlink(NativePath(target).c_str(), NativePath(link).c_str()), 0);

    ASSERT_TRUE(WriteTextFile(link, "new"));
    EXPECT_EQ(ReadAll(target), "original");
    EXPECT_FALSE(fs::is_symlink(ToUtf8(link)));
    EXPECT_EQ(ReadAll(link), "new");
}

TEST_F(FileIoTest, FailedRenameOrMissingDirectoryLeavesTheTargetAndNoTemporary)
{
    dir.MakeDir("taken");  // a directory where the file should go
    EXPECT_FALSE(WriteTextFile(dir / "taken", "text"));
    EXPECT_TRUE(fs::is_directory(ToUtf8(dir / "taken")));
    EXPECT_FALSE(WriteTextFile(dir / "missing/file.txt", "text"));
    EXPECT_EQ(Names(), std::vector<std::string>{"taken"});
}

TEST_F(FileIoTest, UnwritableDirectoryFailsAndKeepsTheOldFile)
{
    const wxString path = dir.Write("locked/file.txt", "old");
    chmod(NativePath(dir.Path()).c_str(), 0755);
    chmod(NativePath(dir / "locked").c_str(), 0555);

    // Root writes anywhere: the write then runs in a child that has dropped to "nobody".
    bool written = true;
    if (geteuid() != 0) {
        written = WriteTextFile(path, "new");
    } else {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            _exit(WriteTextFile(path, "new") ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 2) << "could not drop privileges";
        written = WEXITSTATUS(status) == 0;
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(Names("locked"), std::vector<std::string>{"file.txt"});
}

TEST_F(FileIoTest, IsTemporaryNameKnowsOnlyOwnTemporaries)
{
    EXPECT_TRUE(IsTemporaryName(".~dralvo0123456789.tmp"));
    EXPECT_TRUE(IsTemporaryName(".~dralvo.tmp"));
    EXPECT_FALSE(IsTemporaryName("dralvo0123.tmp"));
    EXPECT_FALSE(IsTemporaryName(".~dralvo0123.txt"));
    EXPECT_FALSE(IsTemporaryName("report.tmp"));
    EXPECT_FALSE(IsTemporaryName(""));
}

class AtomicFileTest : public FileIoTest {};

TEST_F(AtomicFileTest, TemporaryBesideTheTargetIsCommittedInPlace)
{
    AtomicFile file(dir / "target.txt");
    ASSERT_TRUE(file.Create());
    const fs::path temp(file.TempPath());
    EXPECT_EQ(temp.parent_path(), fs::path(ToUtf8(dir.Path())).parent_path());
    EXPECT_TRUE(IsTemporaryName(FromUtf8(temp.filename().string())));
    EXPECT_TRUE(fs::exists(temp));

    ASSERT_TRUE(file.Write("abc", 3));
    ASSERT_TRUE(file.Write("def", 3));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadAll(dir / "target.txt"), "abcdef");
    EXPECT_EQ(Names(), std::vector<std::string>{"target.txt"});
    EXPECT_FALSE(file.Write("x", 1));
}

TEST_F(AtomicFileTest, AbandonedOrDestroyedFileKeepsTheOldTargetAndLeavesNoTemporary)
{
    const wxString target = dir.Write("target.txt", "old");
    {
        AtomicFile dropped(dir / "dropped.txt");
        ASSERT_TRUE(dropped.Create());
        ASSERT_TRUE(dropped.Write("half", 4));
    }
    AtomicFile file(target);
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.Write("new", 3));
    file.Abandon();
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"target.txt"});
}

} // namespace
