#pragma once

#include <QString>
#include <QStringView>

#include <functional>

// Finding a caption by typing: a caption is a row of keys, one per Latin letter or digit in it and
// one per Han character (any first letter of its readings); the typed text matches when it is the
// start of that row. Punctuation and symbols ("-", "★", spaces) are not keys and are passed over.
namespace typeahead {

// The first letters of a character's readings ("重" → "czt"), empty when it has none known.
using Initials = std::function<QString(char32_t)>;

// Whether a key the user typed takes part in the search: one ASCII letter or digit.
bool isSearchKey(QStringView text);

// Case-insensitive; full-width letters and digits count as their ASCII forms. An empty `typed`
// matches nothing. A letter with no known reading ends the row: it can never match by accident.
bool matches(QStringView caption, QStringView typed, const Initials& initials);

} // namespace typeahead
