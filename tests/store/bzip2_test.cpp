#include "store/bzip2.h"

#include <filesystem>
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

// A stream made by libbzip2's one-shot call, independent of the code under test.
std::string ReferenceStream(const std::string& content)
{
    std::string out(content.size() + content.size() / 100 + 600, '\0');
    unsigned length = static_cast<unsigned>(out.size());
    EXPECT_EQ(BZ2_bzBuffToBuffCompress(out.data(), &length, const_cast<char*>(content.data()),
                                       static_cast<unsigned>(content.size()), 1, 0, 30),
              BZ_OK);
    out.resize(length);
    return out;
}

std::string ReferenceDecompress(const std::string& stream, std::size_t expected)
{
    std::string out(expected + 1, '\0');
    unsigned length = static_cast<unsigned>(out.size());
    if (BZ2_bzBuffToBuffDecompress(out.data(), &length, const_cast<char*>(stream.data()),
                                   static_cast<unsigned>(stream.size()), 0, 0) != BZ_OK)
        return "<damaged>";
    out.resize(length);
    return out;
}

class Bzip2Files : public ::testing::Test {
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
    std::string Output() const { return ReadAll(dir / "out"); }
    // No temporary file was left beside the targets.
    bool NoLeftovers() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(ToUtf8(dir.Path())))
            if (entry.path().filename().string().starts_with(".~dralvo"))
                return false;
        return true;
    }

    TempDir dir;
};

TEST_F(Bzip2Files, RoundTripsEmptySmallAndMultiBlockFiles)
{
    for (const std::string& content : {std::string(), std::string("hello\n"), SampleText(350000)}) {
        const std::string stream = Compress(content);
        EXPECT_EQ(ReferenceDecompress(stream, content.size()), content);
        ASSERT_TRUE(Decompress(stream));
        EXPECT_EQ(Output(), content);
    }
    EXPECT_TRUE(NoLeftovers());
}

TEST_F(Bzip2Files, TakesBlockSizeFromOptionsAtEachCall)
{
    soBzQuality = 9;
    EXPECT_EQ(Compress("x").substr(0, 4), "BZh9");
    soBzQuality = 2;
    EXPECT_EQ(Compress("x").substr(0, 4), "BZh2");
    soBzQuality = 0;
    EXPECT_FALSE(CompressFileBz2(dir.Write("plain", "x"), dir / "bad.bz2"));
    EXPECT_FALSE(Exists(dir / "bad.bz2"));
}

TEST_F(Bzip2Files, DecompressesConcatenatedStreamsInOrder)
{
    const std::string first = SampleText(120000, 1), second = SampleText(7000, 2);
    ASSERT_TRUE(Decompress(ReferenceStream(first) + ReferenceStream(second)));
    EXPECT_EQ(Output(), first + second);

    std::string many, expected;
    for (int i = 0; i < 40; ++i) {
        many += ReferenceStream("part " + std::to_string(i) + "\n");
        expected += "part " + std::to_string(i) + "\n";
    }
    ASSERT_TRUE(Decompress(many));
    EXPECT_EQ(Output(), expected);
}

TEST_F(Bzip2Files, DamagedInputFailsAndKeepsThePreviousTarget)
{
    const std::string stream = ReferenceStream(SampleText(50000));
    const std::string damaged[] = {
        stream + "junk",                       // data after the stream that is no stream
        stream + "B",                          // a cut-off start of a second stream
        stream.substr(0, stream.size() / 2),   // truncated
        stream.substr(0, stream.size() - 1),   // end-of-stream mark cut short
        "",                                    // no stream at all
        "not bzip2 at all",
    };
    for (const std::string& input : damaged) {
        dir.Write("out", "previous");
        EXPECT_FALSE(Decompress(input)) << input.size();
        EXPECT_EQ(Output(), "previous");
    }
    EXPECT_TRUE(NoLeftovers());
}

TEST_F(Bzip2Files, OutputLimitIsHeld)
{
    const std::string stream = ReferenceStream(std::string(100000, 'a'));
    EXPECT_TRUE(Decompress(stream, 100000));
    EXPECT_FALSE(Decompress(stream, 99999));
    EXPECT_EQ(Output(), std::string(100000, 'a'));  // from the call within the limit
    EXPECT_TRUE(NoLeftovers());
}

TEST_F(Bzip2Files, UnopenableFilesFail)
{
    EXPECT_FALSE(CompressFileBz2(dir / "missing", dir / "t.bz2"));
    EXPECT_FALSE(CompressFileBz2(dir.MakeDir("folder"), dir / "t.bz2"));
    EXPECT_FALSE(CompressFileBz2(dir.Write("plain", "x"), dir / "no/such/dir/t.bz2"));
    EXPECT_FALSE(DecompressFileBz2(dir / "missing.bz2", dir / "out"));
    EXPECT_FALSE(Exists(dir / "t.bz2"));
    EXPECT_FALSE(Exists(dir / "out"));
    EXPECT_TRUE(NoLeftovers());
}

class Bzip2Strings : public ::testing::Test {
protected:
    void SetUp() override { soBzQuality = 1; }
    void TearDown() override { soBzQuality = 3; }

    static std::string Stream(const wxString& text)
    {
        const auto bytes = CompressStringBz2(text);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
    }
    wxString Decompress(const std::string& stream, std::uint64_t limit = kNoOutputLimit)
    {
        return DecompressBufferToString(stream.data(), stream.size(), limit, &ok);
    }

    bool ok = false;
};

// A small input expanding far beyond one chunk comes out whole; bad options give no buffer.
TEST_F(Bzip2Strings, RoundTripsEmptyMultiBlockExpandingAndConcatenatedTexts)
{
    for (const std::string& utf8 : {std::string(), SampleText(350000)}) {
        const wxString text = FromUtf8(utf8);
        const std::string stream = Stream(text);
        EXPECT_EQ(ReferenceDecompress(stream, utf8.size()), utf8);
        EXPECT_EQ(Decompress(stream), text);
        EXPECT_TRUE(ok);
    }
    const std::string big(1000000, 'z');
    EXPECT_EQ(Decompress(ReferenceStream(big)), FromUtf8(big));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Decompress(ReferenceStream("one ") + ReferenceStream("two")), "one two");
    EXPECT_TRUE(ok);
    soBzQuality = 10;
    EXPECT_FALSE(CompressStringBz2("text"));
}

TEST_F(Bzip2Strings, FailuresKeepTheTextBeforeThem)
{
    const std::string text = SampleText(300000);
    const std::string stream = ReferenceStream(text);
    const wxString prefix = Decompress(stream.substr(0, stream.size() * 2 / 3));
    EXPECT_FALSE(ok);
    EXPECT_FALSE(prefix.empty());
    EXPECT_TRUE(FromUtf8(text).StartsWith(prefix));

    EXPECT_EQ(Decompress(ReferenceStream(std::string(50000, 'a')), 1001), wxString(1001, 'a'));
    EXPECT_FALSE(ok);
    EXPECT_EQ(Decompress(ReferenceStream("\xD0\xBA"), 1), "");  // half a character
    EXPECT_FALSE(ok);

    EXPECT_EQ(Decompress(stream + "trailing junk").length(), FromUtf8(text).length());
    EXPECT_FALSE(ok);
    EXPECT_EQ(Decompress("junk"), "");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Decompress(""), "");
    EXPECT_FALSE(ok);
}

class CompressedNames : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(CompressedNames, ResolvesByExtensionThenPlainFileThenBz2File)
{
    dir.Write("both", "p");
    dir.Write("both.bz2", "c");
    dir.Write("packed.bz2", "c");
    dir.Write("plain", "p");
    struct Case {
        const char* name;
        bool compressed;
        const char* after;
    } const cases[] = {
        {"absent.BZ2", true, "absent.BZ2"},  // by its name, without looking at the disk
        {"both", false, "both"},             // the plain file wins
        {"packed", true, "packed.bz2"},
        {"plain", false, "plain"},
        {"absent", false, "absent"},
    };
    for (const Case& c : cases) {
        wxString path = dir / c.name;
        EXPECT_EQ(ResolveCompressedName(path), c.compressed) << c.name;
        EXPECT_EQ(path, dir / c.after);
    }
}

} // namespace
