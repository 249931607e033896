#include "store/guid.h"

#include <wx/datetime.h>

GuidGenerator::GuidGenerator() : engine_(std::random_device{}()) {}

wxString GuidGenerator::Next()
{
    unsigned v[8];
    {
        std::lock_guard lock(mutex_);
        std::uniform_int_distribution<unsigned> values(0, 32767);
        for (unsigned& x : v)
            x = values(engine_);
    }
    return wxString::Format("%04x%04x-%04x-%04x-%04x-%04x%04x%04x",
                            v[7], v[6], v[5], v[4], v[3], v[2], v[1], v[0]);
}

wxString NewGuid()
{
    static GuidGenerator generator;
    return generator.Next();
}

wxString NowText()
{
    return wxDateTime::Now().Format("%Y-%m-%d %H:%M:%S");
}
