#include "store/bzip2.h"

#include <cerrno>
#include <random>
#include <string>

#include <bzlib.h>
#include <gtest/gtest.h>

#include "store/options.h"
#include "store/text.h"
#include "tests/support/temp_dir.h"

namespace {

// Text in words with line ends, several 100 000-byte blocks long at the smallest block size.
std::string SampleText(std::size_t size, unsigned seed = 1)
{
    static const char* const words[] = {"station", "medium", "folder", "rule", "копия", "файл"};
    std::mt19937 gen(seed);
    std::string text;
    while (text.size() < size)
        text += std::string(words[gen() % 6]) + (gen() % 9 == 0 ? "\n" : " ");
    return text;
}

// libbzip2's one-shot calls, independent of the code under test: a stream of content, and the
// content of a stream ("<damaged>" when it is none).
std::string ReferenceStream(std::string content, bool compress = true, std::size_t room = 0)
{
    std::string out(compress ? content.size() + content.size() / 100 + 600 : room + 1, '\0');
    unsigned length = static_cast<unsigned>(out.size());
    const unsigned size = static_cast<unsigned>(content.size());
    const int status = compress ? BZ2_bzBuffToBuffCompress(out.data(), &length, content.data(), size, 1, 0, 30)
                                : BZ2_bzBuffToBuffDecompress(out.data(), &length, content.data(), size, 0, 0);
    out.resize(length);
    return status == BZ_OK ? out : "<damaged>";
}

class Bzip2Test : public ::testing::Test {
protected:
    void SetUp() override { soBzQuality = 1; }
    void TearDown() override { soBzQuality = 3; }

    // Compresses content through a source file and returns the target's bytes.
    std::string Compress(const std::string& content)
    {
        EXPECT_TRUE(CompressFileBz2(dir.Write("plain", content), dir / "packed.bz2"));
        return ReadAll(dir / "packed.bz2");
    }
    bool Decompress(const std::string& stream, std::uint64_t limit = kNoOutputLimit)
    {
        return DecompressFileBz2(dir.Write("in.bz2", stream), dir / "out", limit);
    }
    wxString DecompressText(const std::string& stream, std::uint64_t limit = 1 << 30)
    {
        return DecompressBufferToString(stream.data(), stream.size(), limit, &ok);
    }

    TempDir dir;
    bool ok = false;
};

// Files and texts of no data, a line and several blocks; the block size is the option's at each
// call, and a size the library refuses gives no output.
TEST_F(Bzip2Test, RoundTripsFilesTextsAndConcatenatedStreams)
{
    for (const std::string& content : {std::string(), std::string("hello\n"), SampleText(350000)}) {
        const std::string stream = Compress(content);
        EXPECT_EQ(ReferenceStream(stream, false, content.size()), content);
        ASSERT_TRUE(Decompress(stream));
        EXPECT_EQ(ReadAll(dir / "out"), content);
        const auto packed = CompressStringBz2(FromUtf8(content));
        ASSERT_TRUE(packed.has_value());
        EXPECT_EQ(DecompressText(std::string(packed->begin(), packed->end())), FromUtf8(content));
        EXPECT_TRUE(ok);
    }
    soBzQuality = 9;
    EXPECT_EQ(Compress("x").substr(0, 4), "BZh9");
    ASSERT_TRUE(CompressFileBz2(dir / "plain", dir / "given.bz2", {2, 30}));
    EXPECT_EQ(ReadAll(dir / "given.bz2").substr(0, 4), "BZh2");
    soBzQuality = 0;
    EXPECT_FALSE(CompressFileBz2(dir / "plain", dir / "bad.bz2"));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(CompressStringBz2("text"));
    EXPECT_FALSE(Exists(dir / "bad.bz2"));
    EXPECT_EQ(TemporariesUnder(dir.Path()), 0);

    std::string many = ReferenceStream(SampleText(120000, 1)), expected = SampleText(120000, 1);
    for (int i = 0; i < 20; ++i) {
        many += ReferenceStream("part " + std::to_string(i) + "\n");
        expected += "part " + std::to_string(i) + "\n";
    }
    ASSERT_TRUE(Decompress(many));
    EXPECT_EQ(ReadAll(dir / "out"), expected);
    EXPECT_EQ(DecompressText(many), FromUtf8(expected));
    EXPECT_TRUE(ok);
}

// Damaged or missing input and a stop request fail, say why and keep the previous target,
// leaving no temporary behind.
TEST_F(Bzip2Test, DamagedInputOrAStopFailsAndKeepsThePreviousTarget)
{
    const std::string stream = ReferenceStream(SampleText(50000));
    // Junk or a cut-off stream after it, truncated, none at all.
    const std::string damaged[] = {stream + "junk", stream + "B",
                                   stream.substr(0, stream.size() - 1), "not bzip2 at all"};
    for (const std::string& input : damaged) {
        dir.Write("out", "previous");
        EXPECT_FALSE(Decompress(input)) << input.size();
        EXPECT_EQ(errno, EBADMSG);
        EXPECT_EQ(ReadAll(dir / "out"), "previous");
    }
    const StopFlag stop{true};
    EXPECT_FALSE(DecompressFileBz2(dir / "in.bz2", dir / "out", kNoOutputLimit, &stop));
    EXPECT_FALSE(CompressFileBz2(dir / "out", dir / "out", {}, &stop));
    EXPECT_EQ(errno, ECANCELED);
    EXPECT_EQ(ReadAll(dir / "out"), "previous");
    EXPECT_FALSE(DecompressFileBz2(dir / "missing.bz2", dir / "out"));
    EXPECT_FALSE(CompressFileBz2(dir.MakeDir("folder"), dir / "t.bz2"));
    EXPECT_FALSE(CompressFileBz2(dir / "out", dir / "no/such/dir/t.bz2"));
    EXPECT_FALSE(Exists(dir / "t.bz2"));
    EXPECT_EQ(TemporariesUnder(dir.Path()), 0);
}

// Output past the limit fails; a text keeps what came before a failure (a character cut in
// half is dropped), so a bomb costs no more than the limit.
TEST_F(Bzip2Test, OutputLimitAndFailuresKeepWhatCameBefore)
{
    const std::string stream = ReferenceStream(std::string(100000, 'a'));
    EXPECT_TRUE(Decompress(stream, 100000));
    EXPECT_FALSE(Decompress(stream, 99999));
    EXPECT_EQ(ReadAll(dir / "out"), std::string(100000, 'a'));
    EXPECT_EQ(DecompressText(stream, 1001), wxString(1001, 'a'));
    EXPECT_FALSE(ok);
    EXPECT_EQ(DecompressText(ReferenceStream("\xD0\xBA"), 1), "");
    EXPECT_FALSE(ok);
    const wxString text = FromUtf8(SampleText(300000));
    const std::string big = ReferenceStream(ToUtf8(text));
    const wxString prefix = DecompressText(big.substr(0, big.size() * 2 / 3));
    EXPECT_TRUE(!ok && !prefix.empty() && text.StartsWith(prefix));
    EXPECT_EQ(DecompressText(big + "trailing junk"), text);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(DecompressText("junk").empty() && DecompressText("").empty() && !ok);
}

// By the name's extension without looking at the disk, then the plain file wins.
TEST_F(Bzip2Test, ResolvesByExtensionThenPlainFileThenBz2File)
{
    for (const char* name : {"both", "both.bz2", "packed.bz2"})
        dir.Write(name, "x");
    const std::pair<const char*, const char*> cases[] = {
        {"absent.BZ2", "absent.BZ2"}, {"both", ""}, {"packed", "packed.bz2"}, {"absent", ""}};
    for (const auto& [name, compressed] : cases) {
        wxString path = dir / name;
        EXPECT_EQ(ResolveCompressedName(path), *compressed != 0) << name;
        EXPECT_EQ(path, dir / (*compressed ? compressed : name));
    }
}

} // namespace
