#include "engine/file_copy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "store/text.h"
#include "tests/engine/file_faults.h"
#include "tests/support/temp_dir.h"

namespace {

// 2021-03-04 05:06:07.8912345 UTC
const FileTime kSomeTime = FileTimeFromUnix(1614834367, 891234500);

class CopyFileAtomicTest : public ::testing::Test {
protected:
    static std::string Pattern(std::size_t size)
    {
        std::string s(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            s[i] = static_cast<char>((i * 131 + i / 7) & 0xff);
        return s;
    }

    TempDir dir;
};

TEST_F(CopyFileAtomicTest, CopiesEmptySmallAndLargeFilesExactly)
{
    for (const std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(5000),
                                   std::size_t(3) << 20}) {
        const std::string content = Pattern(size);
        const wxString source = dir.Write("source.bin", content);
        ASSERT_TRUE(CopyFileAtomic(source, dir / "target.bin", kSomeTime)) << size;
        EXPECT_EQ(ReadAll(dir / "target.bin"), content) << size;
        FileTime written = 0;
        ASSERT_TRUE(GetFileModTime(dir / "target.bin", written));
        EXPECT_EQ(written, kSomeTime) << size;
    }
    EXPECT_EQ(TemporariesUnder(dir.Path()), 0);
}

TEST_F(CopyFileAtomicTest, ReplacesAnExistingTarget)
{
    const wxString source = dir.Write("a", "new");
    const wxString target = dir.Write("b", "old and longer");
    ASSERT_TRUE(CopyFileAtomic(source, target, kSomeTime));
    EXPECT_EQ(ReadAll(target), "new");
}

// A fifo source is refused without waiting.
TEST_F(CopyFileAtomicTest, MissingSourceOrTargetDirectoryLeavesTargetAndNoTemporary)
{
    const wxString target = dir.Write("b", "previous");
    EXPECT_FALSE(CopyFileAtomic(dir / "missing", target, kSomeTime));
    EXPECT_FALSE(CopyFileAtomic(dir.MakeDir("folder"), target, kSomeTime));
    EXPECT_EQ(ReadAll(target), "previous");
    EXPECT_EQ(TemporariesUnder(dir.Path()), 0);
    ASSERT_EQ(mkfifo(ToUtf8(dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(CopyFileAtomic(dir / "fifo", dir / "target", kSomeTime));
    EXPECT_FALSE(Exists(dir / "target"));
    const wxString source = dir.Write("a", "x");
    EXPECT_FALSE(CopyFileAtomic(source, dir / "gone/b", kSomeTime));
    EXPECT_FALSE(Exists(dir / "gone"));
}

TEST_F(CopyFileAtomicTest, FailureHalfWayKeepsPreviousTarget)
{
    const wxString source = dir.Write("big", Pattern(std::size_t(2) << 20));
    const wxString target = dir.Write("b", "previous");
    {
        // Like a medium that fills up: writes past 64 KiB fail.
        const FileSizeLimit limit(64 * 1024);
        EXPECT_FALSE(CopyFileAtomic(source, target, kSomeTime));
    }
    EXPECT_EQ(ReadAll(target), "previous");
    EXPECT_EQ(TemporariesUnder(dir.Path()), 0);
}

TEST_F(CopyFileAtomicTest, LinkAtTargetIsReplacedNotFollowed)
{
    const wxString source = dir.Write("a", "new");
    const wxString elsewhere = dir.Write("elsewhere", "keep");
    ASSERT_EQ(symlink(ToUtf8(elsewhere).c_str(), ToUtf8(dir / "link").c_str()), 0);
    ASSERT_TRUE(CopyFileAtomic(source, dir / "link", kSomeTime));
    EXPECT_EQ(ReadAll(elsewhere), "keep");
    EXPECT_EQ(ReadAll(dir / "link"), "new");
}

} // namespace
