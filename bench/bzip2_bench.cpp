// Runs the store's bzip2 file operations over pairs of files, for bench/bzip2-bench.sh:
//   bzip2_bench compress|decompress BLOCKSIZE SOURCE TARGET [SOURCE TARGET ...]
// The caller times the whole run, as it times the bzip2 command.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "store/bzip2.h"
#include "store/options.h"

int main(int argc, char** argv)
{
    if (argc < 5 || argc % 2 != 1) {
        std::fprintf(stderr, "usage: %s compress|decompress BLOCKSIZE SOURCE TARGET...\n", argv[0]);
        return 2;
    }
    const bool compress = std::strcmp(argv[1], "compress") == 0;
    if (!compress && std::strcmp(argv[1], "decompress") != 0) {
        std::fprintf(stderr, "unknown operation %s\n", argv[1]);
        return 2;
    }
    soBzQuality = static_cast<unsigned>(std::atoi(argv[2]));
    soBzWorkFactor = 30;  // the bzip2 command's default
    for (int i = 3; i + 1 < argc; i += 2) {
        const wxString source = wxString::FromUTF8(argv[i]);
        const wxString target = wxString::FromUTF8(argv[i + 1]);
        const bool ok = compress ? CompressFileBz2(source, target) : DecompressFileBz2(source, target);
        if (!ok) {
            std::fprintf(stderr, "%s failed on %s\n", argv[1], argv[i]);
            return 1;
        }
    }
    return 0;
}
