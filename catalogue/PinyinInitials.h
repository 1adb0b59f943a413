#pragma once

#include <QString>

// The first letters of the readings of every Han character in the channel captions, so a channel
// can be found by typing its initials ("hnws" for 湖南卫视). Generated: tools/pinyin-initials.
namespace PinyinInitials {

// "重" → "czt" (the reading the captions use first); empty for a character not in the table.
QString of(char32_t character);
int count();

} // namespace PinyinInitials
