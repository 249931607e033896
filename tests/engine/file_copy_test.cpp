#include "engine/file_copy.h"

#include "tests/engine/engine_test_support.h"

// The faults of engine_test_support.h: these definitions take the place of the C library's for every
// call made from this test program.
extern "C" ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset,
                                   size_t length, unsigned int flags)
{
    if (duringKernelCopy)
        duringKernelCopy(), length = std::min<size_t>(length, 1 << 20);
    return injectedFault == Fault::kernelCopiesNothing
               ? 0 : syscall(SYS_copy_file_range, in, inOffset, out, outOffset, length, flags);
}
static int SetTimes(int dir, const char* path, const struct timespec t[2], int flags)
{
    if (injectedFault == Fault::timeNotSet)
        return errno = EIO, -1;
    return static_cast<int>(syscall(SYS_utimensat, dir, path, t, flags));
}
extern "C" int utimensat(int dir, const char* path, const struct timespec t[2], int flags) noexcept
{
    return SetTimes(dir, path, t, flags);
}
extern "C" int futimens(int fd, const struct timespec t[2]) noexcept { return SetTimes(fd, nullptr, t, 0); }

namespace {

const FileTime kSomeTime = FileTimeFromUnix(1614834367, 891234500);

// Within one file system (copies across file systems: see the copy thread's tests).
TEST(CopyFileAtomicTest, CopiesWholeFilesWithTheirTimeOrKeepsThePreviousTarget)
{
    TempDir dir;
    const struct {
        std::size_t size;
        Fault fault;
        rlim_t sizeLimit;  // writes past it fail, as on a full medium
    } rows[] = {{0, Fault::none, RLIM_INFINITY}, {5000, Fault::none, RLIM_INFINITY},
                {std::size_t(3) << 20, Fault::none, RLIM_INFINITY},
                {5000, Fault::kernelCopiesNothing, RLIM_INFINITY},
                {std::size_t(2) << 20, Fault::none, 64 << 10}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.size << " bytes, fault " << int(row.fault));
        const wxString source = dir.Write("source", TestBytes(row.size)), out = dir / "target";
        ASSERT_TRUE(WriteTextFile(out, "previous"));
        const bool copied = row.sizeLimit == RLIM_INFINITY;
        injectedFault = row.fault;
        {
            const FileSizeLimit limit(row.sizeLimit);
            EXPECT_EQ(CopyFileAtomic(source, out, kSomeTime), copied);
        }
        injectedFault = Fault::none;
        EXPECT_EQ(ReadAll(out), copied ? TestBytes(row.size) : "previous");
        FileTime written = 0;
        EXPECT_TRUE(GetFileModTime(out, written) && (written == kSomeTime) == copied);
        EXPECT_EQ(TemporariesUnder(dir.Path()), 0);
    }
}

// A FIFO source is refused without waiting; a link at the target is replaced, not followed.
TEST(CopyFileAtomicTest, RefusesWhatIsNoRegularFileAndNeverFollowsALink)
{
    TempDir dir;
    const wxString target = dir / "b";
    ASSERT_TRUE(WriteTextFile(target, "previous"));
    ASSERT_EQ(mkfifo(ToUtf8(dir / "fifo").c_str(), 0600), 0);
    for (const wxString& source : {dir / "missing", dir.MakeDir("folder"), dir / "fifo"})
        EXPECT_FALSE(CopyFileAtomic(source, target, kSomeTime)) << source;
    EXPECT_FALSE(CopyFileAtomic(dir.Write("a", "new"), dir / "gone/b", kSomeTime));
    EXPECT_EQ(ReadAll(target), "previous");
    EXPECT_FALSE(Exists(dir / "gone"));
    const wxString elsewhere = dir.Write("elsewhere", "keep");
    ASSERT_EQ(symlink(ToUtf8(elsewhere).c_str(), ToUtf8(dir / "link").c_str()), 0);
    ASSERT_TRUE(CopyFileAtomic(dir / "a", dir / "link", kSomeTime));
    EXPECT_EQ(ReadAll(elsewhere), "keep");
    EXPECT_EQ(ReadAll(dir / "link"), "new");
    EXPECT_EQ(TemporariesUnder(dir.Path()), 0);
}

} // namespace
