#include "TypeAheadMatch.h"

#include <QList>

namespace typeahead {

namespace {

char32_t asciiLower(char32_t c)
{
    // Full-width forms as typed by some input methods and used in some captions.
    if (c >= 0xFF01 && c <= 0xFF5E)
        c -= 0xFEE0;
    if (c >= 'A' && c <= 'Z')
        c += 'a' - 'A';
    return c;
}

bool isAsciiKey(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

} // namespace

bool isSearchKey(QStringView text)
{
    return text.size() == 1 && text[0].unicode() < 0x80 && isAsciiKey(asciiLower(text[0].unicode()));
}

bool matches(QStringView caption, QStringView typed, const Initials& initials)
{
    if (typed.isEmpty())
        return false;
    qsizetype next = 0; // index into typed
    for (const char32_t raw : caption.toUcs4()) {
        const char32_t want = asciiLower(typed[next].unicode());
        const char32_t c = asciiLower(raw);
        if (isAsciiKey(c)) {
            if (c != want)
                return false;
        } else if (QChar::isLetter(raw)) {
            const QString letters = initials ? initials(raw) : QString();
            if (want > 0x7F || !letters.contains(QChar(char16_t(want))))
                return false;
        } else {
            continue; // not a key
        }
        if (++next == typed.size())
            return true;
    }
    return false;
}

} // namespace typeahead
