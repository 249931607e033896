#pragma once

#include <cstddef>
#include <span>
#include <string_view>

// A file compiled into the program (translation catalogues, bitmaps, the icon).
struct EmbeddedFile {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

// Table generated at build time; ends with a null name.
extern const EmbeddedFile embeddedFiles[];

// The bytes of the embedded file with this exact name (e.g. "plus.png", "dralvo_ru.mo"),
// or an empty span when there is none. Any thread.
std::span<const unsigned char> FindEmbeddedFile(std::string_view name);
