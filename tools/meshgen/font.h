#pragma once
// A 5x7 block font for the credits. Each glyph is seven rows of five cells, top row first.
#include <array>
#include <string_view>

namespace meshgen {

using glyph = std::array<std::string_view, 7>;

// The glyph of an upper-case letter, digit, space, '-', '.', '&' or '!'; nullptr for any other
// character.
const glyph* find_glyph(char c);

}  // namespace meshgen
