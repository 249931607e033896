#include "tests/support/temp_dir.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "store/file_io.h"
#include "store/text.h"

namespace fs = std::filesystem;

TempDir::TempDir(const std::string& base)
{
    std::string pattern = ((base.empty() ? fs::temp_directory_path() : fs::path(base)) / "dralvo-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = FromUtf8(pattern) + "/";
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Tests may leave read-only directories behind: make them writable before removing.
    for (auto it = fs::recursive_directory_iterator(ToUtf8(path_), ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(ToUtf8(path_), ec);
}

wxString TempDir::Write(const wxString& relative, const std::string& content) const
{
    const fs::path full(ToUtf8(path_ + relative));
    fs::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary | std::ios::trunc) << content;
    return path_ + relative;
}

wxString TempDir::MakeDir(const wxString& relative) const
{
    fs::create_directories(fs::path(ToUtf8(path_ + relative)));
    return path_ + relative;
}

std::string MemoryTempBase() { return access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : ""; }

std::string ReadAll(const wxString& path)
{
    std::ifstream in(fs::path(ToUtf8(path)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const wxString& path)
{
    struct stat st;
    return lstat(ToUtf8(path).c_str(), &st) == 0;
}

int TemporariesUnder(const wxString& root)
{
    int count = 0;
    for (const auto& e : fs::recursive_directory_iterator(ToUtf8(root)))
        count += IsTemporaryName(FromUtf8(e.path().filename().string()));
    return count;
}
