#pragma once
// Reads OBJ text held in memory the way C formatted input reads a stream ("%s", "%d", "%f" and
// literal characters): the same tokens, the same numbers, and the same characters consumed when
// a conversion fails, so a file gives the same results as a reader built on fscanf.
#include <cstdint>
#include <cstring>
#include <string_view>

struct obj_text_reader {
  const char* p;
  const char* end;

  // "%s": skips white space and yields the following run of other characters (of any length).
  bool token(std::string_view& out);
  // Consumes the rest of the current line and its line feed, however long the line is.
  void skip_line();
  // Consumes the rest of the current line and its line feed; yields the line without the feed.
  std::string_view rest_of_line();
  // A literal format character: consumed when it comes next.
  bool literal(char c) {
    if (p == end || *p != c) return false;
    ++p;
    return true;
  }
  // "%d": 1 when converted, 0 on a matching failure, -1 when the text ends first. The value
  // saturates far beyond the 32-bit range instead of wrapping.
  int scan_int(int64_t& value) {
    skip_space();
    if (p == end) return -1;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    // A sign without digits is consumed; the character after it is not.
    if (p == end || !is_digit(*p)) return 0;
    int64_t v = 0;
    for (; p < end && is_digit(*p); ++p)
      if (v < 100000000000000000) v = v * 10 + (*p - '0');
    value = negative ? -v : v;
    return 1;
  }
  // "%f": 1 when converted (rounded exactly as strtof rounds), 0 on a matching failure, -1 when
  // the text ends first. `value` is written only on success.
  int scan_float(float& value) {
    skip_space();
    if (p == end) return -1;
    // The common spelling, [-]digits[.digits] ended by white space, converts here; everything
    // else goes through the full rules.
    const char* q = p;
    bool negative = *q == '-';
    q += negative;
    uint64_t mantissa = 0;
    int digits = 0, scale = 0;
    for (; q < end && is_digit(*q); ++q, ++digits) mantissa = mantissa * 10 + uint64_t(*q - '0');
    if (q < end && *q == '.')
      for (++q; q < end && is_digit(*q); ++q, ++digits, --scale)
        mantissa = mantissa * 10 + uint64_t(*q - '0');
    if (digits == 0 || digits > 15 || scale < -15 || (q < end && !is_space(*q)))
      return scan_float_fully(value);
    // Mantissa and power of ten are exact in a float (or a double), so one division rounds
    // correctly; rounding a double on to float is exact unless it lies precisely halfway
    // between two floats.
    static constexpr float float_powers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                             1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    if (mantissa <= (1u << 24) && scale >= -10) {
      float f = float(mantissa) / float_powers[-scale];
      p = q;
      value = negative ? -f : f;
      return 1;
    }
    static constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    double d = double(mantissa) / powers[-scale];
    if (!converts_exactly_to_float(d)) return scan_float_fully(value);
    p = q;
    value = negative ? -float(d) : float(d);
    return 1;
  }

  // Whether rounding `d`, a correctly rounded double, on to float gives the correctly rounded
  // float: always in the normal float range, except for a double exactly halfway between floats.
  static bool converts_exactly_to_float(double d) {
    double magnitude = d < 0 ? -d : d;
    if (magnitude != 0 && (magnitude < 0x1p-125 || magnitude > 0x1p127)) return false;
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return (bits & 0x1FFFFFFF) != 0x10000000;
  }

 private:
  static bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  static bool is_digit(char c) { return c >= '0' && c <= '9'; }
  void skip_space() {
    while (p < end && is_space(*p)) ++p;
  }
  int scan_float_fully(float& value);
};
