#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <wx/string.h>

#include "store/file_io.h"

// bzip2 compression of files and memory buffers with libbzip2. Any thread: the file operations
// read no process-wide value when given their settings, the others read soBzQuality and
// soBzWorkFactor at each call.

// Output limit meaning "no limit" for the decompressors.
inline constexpr std::uint64_t kNoOutputLimit = UINT64_MAX;

// The compressor's block size (in 100 000 bytes) and work factor.
struct Bz2Settings {
    int blockSize = 3;
    int workFactor = 30;
    // soBzQuality and soBzWorkFactor as they stand now.
    static Bz2Settings FromOptions();
};

// Set by another thread to interrupt a file operation; it is looked at once per block.
using StopFlag = std::atomic<bool>;

// Compresses source into target. The target is written beside itself and renamed into place
// only when complete: on failure (stop set included) any previous target is untouched, nothing
// is left behind, and errno tells why (ECANCELED when stopped, EINVAL for settings the library
// refuses).
bool CompressFileBz2(const wxString& source, const wxString& target, const Bz2Settings& settings,
                     const StopFlag* stop = nullptr);
bool CompressFileBz2(const wxString& source, const wxString& target);

// Decompresses every concatenated stream of source into target, with the same all-or-nothing
// writing and errno. Fails on a damaged or truncated stream and on trailing data that is not a
// stream (EBADMSG), and when the output would exceed maxOutput bytes (EFBIG).
bool DecompressFileBz2(const wxString& source, const wxString& target,
                       std::uint64_t maxOutput = kNoOutputLimit, const StopFlag* stop = nullptr);

// The same into a temporary file that the caller made and commits or abandons (written from
// its start; the file stays open): one file per name, where the calls above make two.
bool CompressFileBz2(const wxString& source, AtomicFile& target, const Bz2Settings& settings,
                     const StopFlag* stop = nullptr);
bool DecompressFileBz2(const wxString& source, AtomicFile& target,
                       std::uint64_t maxOutput = kNoOutputLimit, const StopFlag* stop = nullptr);

// One bzip2 stream of the text's UTF-8 bytes; nullopt when the compressor cannot start (a
// block size or work factor out of the library's range) or fails.
std::optional<std::vector<char>> CompressStringBz2(const wxString& text);
std::optional<std::vector<char>> CompressBytesBz2(std::string_view bytes);

// How a buffer decompression ended.
enum class Bz2Status { Complete, Damaged, TooLarge, Stopped };

// The bytes of the concatenated streams in the buffer, appended to out: at most maxOutput
// bytes (TooLarge past them), out holding what came before an error. stop, when given, is
// asked before each output chunk, so a request is seen within milliseconds.
Bz2Status DecompressBufferToBytes(const void* data, std::size_t size, std::uint64_t maxOutput,
                                  std::string& out, const std::function<bool()>& stop = {});

// The UTF-8 text of the streams in the buffer. Stops at the first error or past maxOutput
// bytes and returns what came before; ok (when given) tells whether the whole input
// decompressed cleanly within the limit. An empty buffer, a truncated stream and bytes that
// are not UTF-8 count as errors (the last give an empty text). The limit has no default: a
// small buffer may expand a thousandfold, so every caller must say how much it will take.
wxString DecompressBufferToString(const void* data, std::size_t size, std::uint64_t maxOutput,
                                  bool* ok = nullptr);

// True when path names a compressed file: it ends in ".bz2" (any case), or no file of that
// name exists but one with ".bz2" appended does (then ".bz2" is appended to path).
bool ResolveCompressedName(wxString& path);
