#include "store/wildcard.h"

bool MatchWildcard(const wxString& mask, const wxString& text, bool hiddenDot)
{
    if (text.empty())
        return mask.empty();
    if (hiddenDot && text[0] == '.')
        return false;

    const size_t maskLen = mask.length();
    const size_t textLen = text.length();
    size_t m = 0;
    size_t t = 0;
    // One backtrack point: the mask just behind the last '*' and where that star began.
    bool haveBacktrack = false;
    size_t backMask = 0;
    size_t backText = 0;
    bool star = false;

    for (;;) {
        bool mismatch = false;
        if (m < maskLen) {
            const wxUniChar c = mask[m];
            if (c == '*') {
                ++m;
                haveBacktrack = true;
                backMask = m;
                backText = t;
                star = true;
                continue;
            }
            if (c == '?') {
                if (t >= textLen)
                    return false;
                ++m;
                ++t;
                continue;
            }
            star = false;
            if (t < textLen && c == text[t]) {
                ++m;
                ++t;
                continue;
            }
            mismatch = true;
        } else {
            if (t >= textLen || star)
                return true;
            mismatch = true;
        }
        if (mismatch) {
            if (t >= textLen || !haveBacktrack)
                return false;
            t = ++backText;
            m = backMask;
        }
    }
}
