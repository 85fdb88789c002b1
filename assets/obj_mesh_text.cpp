// The rare conversions of the OBJ text reader: "%f" on "nan", "inf", hexadecimal and text that is
// no number, and numbers that need the C library to round them.
#include "assets/obj_mesh_text.h"

#include <cstdlib>
#include <string>

namespace {

// Compares case-insensitively with a lower-case letter.
bool is_letter(char c, char lower) { return (c | 0x20) == lower; }
bool is_hex_digit(char c) { return obj_text_reader::is_digit(c) || unsigned((c | 0x20) - 'a') < 6u; }

}  // namespace

int obj_text_reader::scan_other_float(float& value) {
  const char* start = p;
  const bool sign = *p == '-' || *p == '+';
  const char* q = p + sign;
  // Reads the next character (consuming it) and tells whether it is `lower`, in either case.
  auto next_is = [&](char lower) { return q < end && is_letter(*q++, lower); };
  if (q < end && (is_letter(*q, 'n') || is_letter(*q, 'i'))) {
    const bool nan = is_letter(*q++, 'n');
    if (nan ? !next_is('a') || !next_is('n') : !next_is('n') || !next_is('f')) {
      p = q;
      return 0;
    }
    if (!nan && q < end && is_letter(*q, 'i')) {
      ++q;
      if (!next_is('n') || !next_is('i') || !next_is('t') || !next_is('y')) {
        p = q;
        return 0;
      }
    }
  } else if (q < end && *q == '0') {
    // "0x", hexadecimal digits with at most one point, then 'p', a sign and decimal digits.
    bool digit = false, exponent = false, point = false;
    for (q += 2; q < end; ++q) {
      const char c = *q;
      if (is_digit(c) || (!exponent && is_hex_digit(c))) {
        digit = true;
      } else if (exponent && is_letter(q[-1], 'p') && (c == '-' || c == '+')) {
      } else if (digit && !exponent && is_letter(c, 'p')) {
        exponent = point = true;
      } else if (!point && c == '.') {
        point = true;
      } else {
        break;
      }
    }
    if (q - start == sign + 2) {  // "0x" alone
      p = q;
      return 0;
    }
  } else {
    p = q;  // a sign, if any, stays consumed
    return 0;
  }
  p = q;
  return convert(start, value);
}

int obj_text_reader::convert(const char* start, float& value) {
  const std::string text(start, p);
  char* stop = nullptr;
  const float v = std::strtof(text.c_str(), &stop);
  if (stop == text.c_str()) return 0;
  value = v;
  return 1;
}
