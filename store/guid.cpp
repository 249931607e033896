#include "store/guid.h"

#include <mutex>
#include <random>

#include <wx/datetime.h>

namespace {

std::mutex guidMutex;

unsigned Draw15Bits()
{
    // guarded by guidMutex
    static std::mt19937 generator{std::random_device{}()};
    static std::uniform_int_distribution<unsigned> values(0, 32767);
    return values(generator);
}

} // namespace

wxString NewGuid()
{
    unsigned v[8];
    {
        std::lock_guard lock(guidMutex);
        for (unsigned& x : v)
            x = Draw15Bits();
    }
    return wxString::Format("%04x%04x-%04x-%04x-%04x-%04x%04x%04x",
                            v[7], v[6], v[5], v[4], v[3], v[2], v[1], v[0]);
}

wxString NowText()
{
    return wxDateTime::Now().Format("%Y-%m-%d %H:%M:%S");
}
