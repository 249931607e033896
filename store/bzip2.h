#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <wx/string.h>

// bzip2 compression of files and memory buffers with libbzip2. Block size and work factor come
// from soBzQuality and soBzWorkFactor at each call. Any thread (they only read the options).

// Output limit meaning "no limit" for the decompressors.
inline constexpr std::uint64_t kNoOutputLimit = UINT64_MAX;

// Compresses source into target. The target is written beside itself and renamed into place
// only when complete: on failure any previous target is untouched and nothing is left behind.
bool CompressFileBz2(const wxString& source, const wxString& target);

// Decompresses every concatenated stream of source into target, with the same all-or-nothing
// writing. Fails on a damaged or truncated stream, on trailing data that is not a stream, and
// when the output would exceed maxOutput bytes.
bool DecompressFileBz2(const wxString& source, const wxString& target,
                       std::uint64_t maxOutput = kNoOutputLimit);

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
