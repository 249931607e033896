#include "resources/embedded.h"

std::span<const unsigned char> FindEmbeddedFile(std::string_view name)
{
    for (const EmbeddedFile* f = embeddedFiles; f->name; ++f)
        if (name == f->name)
            return {f->data, f->size};
    return {};
}
