#include "store/bzip2.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include <bzlib.h>

#include "store/file_io.h"
#include "store/options.h"
#include "store/text.h"

namespace {

// Every input and output buffer of these operations.
constexpr int kChunk = 20480;
// Larger stdio buffers than the default page cut the number of write calls.
constexpr std::size_t kStdioBuffer = 1 << 16;

int BlockSize() { return static_cast<int>(soBzQuality); }
int WorkFactor() { return static_cast<int>(soBzWorkFactor); }

// Sets errno to the reason of a failure and returns false.
bool FailWith(int error)
{
    errno = error;
    return false;
}

bool Stopped(const StopFlag* stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

// The errno of a libbzip2 status that is a failure.
int ErrorOfStatus(int status)
{
    switch (status) {
    case BZ_MEM_ERROR:
        return ENOMEM;
    case BZ_PARAM_ERROR:
    case BZ_CONFIG_ERROR:
        return EINVAL;
    case BZ_IO_ERROR:
        return errno != 0 ? errno : EIO;
    default:
        return EBADMSG;  // damaged, truncated or no bzip2 data
    }
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

FilePtr OpenForReading(const wxString& path)
{
    FilePtr file(std::fopen(NativePath(path).c_str(), "rbe"));
    if (file)
        std::setvbuf(file.get(), nullptr, _IOFBF, kStdioBuffer);
    return file;
}

// A stdio stream on a duplicate of the temporary file's descriptor, so that closing the
// stream leaves the original for AtomicFile::Commit.
FilePtr StreamOnto(const AtomicFile& file)
{
    const int fd = fcntl(file.Fd(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    FilePtr stream(fdopen(fd, "wb"));
    if (!stream) {
        ::close(fd);
        return nullptr;
    }
    std::setvbuf(stream.get(), nullptr, _IOFBF, kStdioBuffer);
    return stream;
}

// Flushes and closes the stream; false when written data was lost.
bool CloseStream(FilePtr& stream)
{
    return std::fclose(stream.release()) == 0;
}

// True at the end of the file, looking one byte ahead without consuming it.
bool AtEnd(FILE* file)
{
    const int c = std::fgetc(file);
    if (c == EOF)
        return true;
    std::ungetc(c, file);
    return false;
}

// A libbzip2 stdio writer; abandoned (no stream end written) unless closed.
class Bz2Writer {
public:
    Bz2Writer(FILE* out, const Bz2Settings& settings) : out_(out)
    {
        int error = BZ_OK;
        handle_ = BZ2_bzWriteOpen(&error, out, settings.blockSize, 0, settings.workFactor);
        if (error != BZ_OK) {
            handle_ = nullptr;
            errno = ErrorOfStatus(error);
        }
    }
    ~Bz2Writer() { Abandon(); }
    Bz2Writer(const Bz2Writer&) = delete;
    Bz2Writer& operator=(const Bz2Writer&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    bool Write(char* data, int size)
    {
        int error = BZ_OK;
        BZ2_bzWrite(&error, handle_, data, size);
        return error == BZ_OK || FailWith(ErrorOfStatus(error));
    }
    // Finishes the stream and flushes the file.
    bool Close()
    {
        int error = BZ_OK;
        BZ2_bzWriteClose(&error, handle_, 0, nullptr, nullptr);
        if (error == BZ_IO_ERROR) {
            // The library returns early on a file error and keeps its state: free it.
            const int saved = ErrorOfStatus(error);
            Abandon();
            return FailWith(saved);
        }
        handle_ = nullptr;
        return error == BZ_OK || FailWith(ErrorOfStatus(error));
    }

private:
    // libbzip2 frees nothing while the file carries an error flag, so clear it first.
    void Abandon()
    {
        if (!handle_)
            return;
        clearerr(out_);
        int error;
        BZ2_bzWriteClose(&error, handle_, 1, nullptr, nullptr);
        handle_ = nullptr;
    }

    FILE* out_;
    BZFILE* handle_ = nullptr;
};

// A libbzip2 stdio reader starting with bytes already read from the file.
class Bz2Reader {
public:
    Bz2Reader(FILE* in, std::vector<char>& carried)
    {
        int error = BZ_OK;
        handle_ = BZ2_bzReadOpen(&error, in, 0, 0, carried.empty() ? nullptr : carried.data(),
                                 static_cast<int>(carried.size()));
        if (error != BZ_OK)
            handle_ = nullptr;
    }
    ~Bz2Reader() { Close(); }
    Bz2Reader(const Bz2Reader&) = delete;
    Bz2Reader& operator=(const Bz2Reader&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    // Bytes decompressed into buffer; status receives the library's status.
    int Read(char* buffer, int size, int& status)
    {
        return BZ2_bzRead(&status, handle_, buffer, size);
    }
    // The bytes read from the file beyond the stream that just ended.
    bool TakeUnused(std::vector<char>& kept)
    {
        int error = BZ_OK;
        void* unused = nullptr;
        int count = 0;
        BZ2_bzReadGetUnused(&error, handle_, &unused, &count);
        if (error != BZ_OK)
            return false;
        const char* bytes = static_cast<const char*>(unused);
        kept.assign(bytes, bytes + count);
        return true;
    }
    bool Close()
    {
        if (!handle_)
            return true;
        int error = BZ_OK;
        BZ2_bzReadClose(&error, handle_);
        handle_ = nullptr;
        return error == BZ_OK;
    }

private:
    BZFILE* handle_ = nullptr;
};

bool CompressStream(FILE* in, FILE* out, const Bz2Settings& settings, const StopFlag* stop)
{
    Bz2Writer writer(out, settings);
    if (!writer.IsOpen())
        return false;
    char buffer[kChunk];
    for (;;) {
        if (Stopped(stop))
            return FailWith(ECANCELED);
        const std::size_t n = std::fread(buffer, 1, kChunk, in);
        if (std::ferror(in))
            return false;
        if (n > 0 && !writer.Write(buffer, static_cast<int>(n)))
            return false;
        if (n < static_cast<std::size_t>(kChunk))
            break;
    }
    return writer.Close();
}

// Decompresses stream after stream until the file ends; the bytes a reader took beyond its
// stream start the next one.
bool DecompressStreams(FILE* in, FILE* out, std::uint64_t maxOutput, const StopFlag* stop)
{
    std::vector<char> carried;
    std::uint64_t written = 0;
    char buffer[kChunk];
    for (;;) {
        Bz2Reader reader(in, carried);
        if (!reader.IsOpen())
            return FailWith(ENOMEM);
        int status = BZ_OK;
        while (status == BZ_OK) {
            if (Stopped(stop))
                return FailWith(ECANCELED);
            errno = 0;
            const int n = reader.Read(buffer, kChunk, status);
            if ((status != BZ_OK && status != BZ_STREAM_END) || n <= 0)
                continue;
            written += static_cast<std::uint64_t>(n);
            if (written > maxOutput)
                return FailWith(EFBIG);
            if (std::fwrite(buffer, 1, static_cast<std::size_t>(n), out) !=
                static_cast<std::size_t>(n))
                return false;
        }
        if (status != BZ_STREAM_END)
            return FailWith(ErrorOfStatus(status));
        if (!reader.TakeUnused(carried) || !reader.Close())
            return FailWith(EBADMSG);
        if (carried.empty() && AtEnd(in))
            return !std::ferror(in) || FailWith(EIO);
    }
}

// A libbzip2 memory compressor; ended on destruction.
class Bz2Compressor {
public:
    Bz2Compressor() { open_ = BZ2_bzCompressInit(&stream_, BlockSize(), 0, WorkFactor()) == BZ_OK; }
    ~Bz2Compressor()
    {
        if (open_)
            BZ2_bzCompressEnd(&stream_);
    }
    Bz2Compressor(const Bz2Compressor&) = delete;
    Bz2Compressor& operator=(const Bz2Compressor&) = delete;

    bool IsOpen() const { return open_; }
    // One call with a fresh output chunk appended to out; returns the library's status.
    int Step(int action, std::vector<char>& out)
    {
        char buffer[kChunk];
        stream_.next_out = buffer;
        stream_.avail_out = kChunk;
        const int status = BZ2_bzCompress(&stream_, action);
        out.insert(out.end(), buffer, buffer + (kChunk - stream_.avail_out));
        return status;
    }
    bz_stream& Stream() { return stream_; }

private:
    bz_stream stream_{};
    bool open_ = false;
};

// A libbzip2 memory decompressor; ended on destruction.
class Bz2Decompressor {
public:
    Bz2Decompressor() { open_ = BZ2_bzDecompressInit(&stream_, 0, 0) == BZ_OK; }
    ~Bz2Decompressor()
    {
        if (open_)
            BZ2_bzDecompressEnd(&stream_);
    }
    Bz2Decompressor(const Bz2Decompressor&) = delete;
    Bz2Decompressor& operator=(const Bz2Decompressor&) = delete;

    bool IsOpen() const { return open_; }
    bz_stream& Stream() { return stream_; }

private:
    bz_stream stream_{};
    bool open_ = false;
};

} // namespace

Bz2Status DecompressBufferToBytes(const void* input, std::size_t size, std::uint64_t maxOutput,
                                  std::string& out, const std::function<bool()>& stop)
{
    const char* data = static_cast<const char*>(input);
    if (size == 0)
        return Bz2Status::Damaged;
    char buffer[kChunk];
    while (size > 0) {
        Bz2Decompressor decompressor;
        if (!decompressor.IsOpen())
            return Bz2Status::Damaged;
        bz_stream& s = decompressor.Stream();
        int status = BZ_OK;
        while (status != BZ_STREAM_END) {
            // Once per output chunk: a bomb is a few milliseconds per chunk at most.
            if (stop && stop())
                return Bz2Status::Stopped;
            if (s.avail_in == 0) {
                // avail_in is 32 bits: hand over very large buffers in parts.
                const std::size_t part = std::min<std::size_t>(size, UINT_MAX);
                s.next_in = const_cast<char*>(data);
                s.avail_in = static_cast<unsigned>(part);
                data += part;
                size -= part;
            }
            s.next_out = buffer;
            s.avail_out = kChunk;
            status = BZ2_bzDecompress(&s);
            if (status != BZ_OK && status != BZ_STREAM_END)
                return Bz2Status::Damaged;
            const std::size_t produced = kChunk - s.avail_out;
            const std::uint64_t room = maxOutput - out.size();
            out.append(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(produced, room)));
            if (produced > room)
                return Bz2Status::TooLarge;
            // Nothing more came out and no input is left: the stream was cut short.
            if (status == BZ_OK && produced == 0 && s.avail_in == 0 && size == 0)
                return Bz2Status::Damaged;
        }
        // Give back what the ended stream did not use: another stream may follow.
        data -= s.avail_in;
        size += s.avail_in;
    }
    return Bz2Status::Complete;
}

namespace {

// Drops a multi-byte character cut off at the end, so the rest still decodes.
void TrimIncompleteUtf8(std::string& bytes)
{
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 4 && back <= n; ++back) {
        const unsigned char c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80)
            continue;  // a continuation byte: look further back for the lead
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length > back)
            bytes.resize(n - back);
        return;
    }
}

// A file (anything but a directory) exists at path.
bool IsFile(const wxString& path)
{
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace

namespace {

// Runs one stream operation from source into target through an AtomicFile; errno survives the
// clean-up of a failure.
template <typename Operation>
bool TransformFile(const wxString& source, const wxString& target, Operation operation)
{
    FilePtr in = OpenForReading(source);
    if (!in)
        return false;
    AtomicFile file(target);
    if (!file.Create())
        return false;
    FilePtr out = StreamOnto(file);
    if (out && operation(in.get(), out.get()) && CloseStream(out) && file.Commit())
        return true;
    const int error = errno != 0 ? errno : EIO;
    out.reset();
    file.Abandon();
    return FailWith(error);
}

} // namespace

Bz2Settings Bz2Settings::FromOptions()
{
    return {BlockSize(), WorkFactor()};
}

bool CompressFileBz2(const wxString& source, const wxString& target, const Bz2Settings& settings,
                     const StopFlag* stop)
{
    return TransformFile(source, target, [&](FILE* in, FILE* out) {
        return CompressStream(in, out, settings, stop);
    });
}

bool CompressFileBz2(const wxString& source, const wxString& target)
{
    return CompressFileBz2(source, target, Bz2Settings::FromOptions());
}

bool DecompressFileBz2(const wxString& source, const wxString& target, std::uint64_t maxOutput,
                       const StopFlag* stop)
{
    return TransformFile(source, target, [&](FILE* in, FILE* out) {
        return DecompressStreams(in, out, maxOutput, stop);
    });
}

namespace {

// Runs one stream operation from source into a temporary file that the caller holds.
template <typename Operation>
bool TransformInto(const wxString& source, AtomicFile& file, Operation operation)
{
    FilePtr in = OpenForReading(source);
    if (!in)
        return false;
    FilePtr out = StreamOnto(file);
    return out && operation(in.get(), out.get()) && CloseStream(out);
}

} // namespace

bool CompressFileBz2(const wxString& source, AtomicFile& target, const Bz2Settings& settings,
                     const StopFlag* stop)
{
    return TransformInto(source, target, [&](FILE* in, FILE* out) {
        return CompressStream(in, out, settings, stop);
    });
}

bool DecompressFileBz2(const wxString& source, AtomicFile& target, std::uint64_t maxOutput,
                       const StopFlag* stop)
{
    return TransformInto(source, target, [&](FILE* in, FILE* out) {
        return DecompressStreams(in, out, maxOutput, stop);
    });
}

std::optional<std::vector<char>> CompressStringBz2(const wxString& text)
{
    return CompressBytesBz2(ToUtf8(text));
}

std::optional<std::vector<char>> CompressBytesBz2(std::string_view bytes)
{
    Bz2Compressor compressor;
    if (!compressor.IsOpen())
        return std::nullopt;
    bz_stream& s = compressor.Stream();
    std::vector<char> out;
    out.reserve(bytes.size() / 4 + 64);
    for (std::size_t pos = 0;;) {
        const std::size_t n = std::min<std::size_t>(kChunk, bytes.size() - pos);
        s.next_in = const_cast<char*>(bytes.data() + pos);
        s.avail_in = static_cast<unsigned>(n);
        pos += n;
        while (s.avail_in > 0)
            if (compressor.Step(BZ_RUN, out) != BZ_RUN_OK)
                return std::nullopt;
        if (n < static_cast<std::size_t>(kChunk))
            break;
    }
    int status;
    while ((status = compressor.Step(BZ_FINISH, out)) == BZ_FINISH_OK) {
    }
    if (status != BZ_STREAM_END)
        return std::nullopt;
    return out;
}

wxString DecompressBufferToString(const void* data, std::size_t size, std::uint64_t maxOutput,
                                  bool* ok)
{
    std::string bytes;
    const bool clean = DecompressBufferToBytes(data, size, maxOutput, bytes) == Bz2Status::Complete;
    if (!clean)
        TrimIncompleteUtf8(bytes);
    const wxString text = FromUtf8(bytes);
    if (ok)
        *ok = clean && (bytes.empty() || !text.empty());
    return text;
}

bool ResolveCompressedName(wxString& path)
{
    if (path.Right(4).Lower() == ".bz2")
        return true;
    if (IsFile(path))
        return false;
    if (IsFile(path + ".bz2")) {
        path += ".bz2";
        return true;
    }
    return false;
}
