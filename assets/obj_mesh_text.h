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
    const char* s = p;
    while (s < end && is_space(*s)) ++s;
    if (s == end) {
      p = s;
      return -1;
    }
    bool negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    // A sign without digits is consumed; the character after it is not.
    if (s == end || !is_digit(*s)) {
      p = s;
      return 0;
    }
    while (s < end && *s == '0') ++s;
    uint64_t v;
    int digits = digit_run(s, end, v);
    s += digits;
    if (digits > 18) v = uint64_t(1) << 62;  // far beyond any index; never wraps
    p = s;
    value = negative ? -int64_t(v) : int64_t(v);
    return 1;
  }
  // The length of the run of decimal digits at `s`, counted up to 8, from one eight-byte load
  // (eight bytes must be readable there); for a run of 1 to 6 digits `value` gets its value.
  [[gnu::always_inline]] static int short_digit_run(const char* s, uint64_t& value) {
    uint64_t x;
    std::memcpy(&x, s, 8);
    x ^= 0x3030303030303030u;  // digit characters become their values 0..9
    int k = leading_digits(x);
    if (k == 0 || k > 6) return k;
    value = eight_digits_value(x << 8 * (8 - k));  // the run's digits in the high bytes
    return k;
  }
  // An unsigned decimal integer without leading zeros, which must start right here.
  [[gnu::always_inline]] bool read_digits(int64_t& value) {
    if (end - p >= 8) {
      // Up to six digits, the usual index, from one word load.
      uint64_t x;
      int k = short_digit_run(p, x);
      if (k == 0) return false;
      if (k < 7) {
        p += k;
        value = int64_t(x);
        return true;
      }
    }
    uint64_t v;
    int digits = digit_run(p, end, v);
    if (digits == 0) return false;
    p += digits;
    value = digits > 18 ? int64_t(1) << 62 : int64_t(v);
    return true;
  }
  // "%f": 1 when converted (rounded exactly as strtof rounds), 0 on a matching failure, -1 when
  // the text ends first. `value` is written only on success.
  int scan_float(float& value) {
    skip_space();
    if (p == end) return -1;
    // The common spelling, [-]digits[.digits] ended by white space, converts here; everything
    // else goes through the full rules.
    if (scan_short_decimal(value)) return 1;
    const char* q = p;
    bool negative = *q == '-';
    q += negative;
    uint64_t mantissa;
    int digits = digit_run(q, end, mantissa), scale = 0;
    q += digits;
    if (q < end && *q == '.') {
      uint64_t fraction;
      scale = digit_run(++q, end, fraction);
      q += scale;
      if (scale > 15) return scan_float_fully(value);
      mantissa = mantissa * powers_of_ten[scale] + fraction;
      digits += scale;
      scale = -scale;
    }
    if (digits == 0 || digits > 15 || (q < end && !is_space(*q))) return scan_float_fully(value);
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

  // The usual spelling of a number, [-]digits.digits with at most eight digits and white space
  // after it, starting right here: converted as "%f" converts it. False, with nothing consumed,
  // for anything else.
  [[gnu::always_inline]] bool scan_short_decimal(float& value) {
    if (end - p < 25) return false;
    bool negative = *p == '-';
    if (!short_decimal(p + negative, value)) return false;
    value = negative ? -value : value;
    return true;
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
  // The shortest common spelling, digits '.' digits with at most eight digits in all and white
  // space after them, converted from two eight-byte loads; at least 24 bytes must be readable at
  // `q`. Moves `p` past the number when it converts, else leaves everything unchanged.
  [[gnu::always_inline]] bool short_decimal(const char* q, float& value) {
    uint64_t whole, fraction;
    std::memcpy(&whole, q, 8);
    whole ^= 0x3030303030303030u;
    int k1 = leading_digits(whole);
    if (k1 == 0 || k1 >= 7 || q[k1] != '.') return false;
    std::memcpy(&fraction, q + k1 + 1, 8);
    fraction ^= 0x3030303030303030u;
    int k2 = leading_digits(fraction);
    const char* after = q + k1 + 1 + k2;
    if (k2 == 0 || k1 + k2 > 8 || !is_space(*after)) return false;
    // The digits side by side, the last one in the top byte, then combined pairwise. One digit
    // before the point and six after it ("%.6f" below ten) is common enough for shifts of its own.
    uint64_t x = k1 == 1 && k2 == 6 ? ((whole << 56) >> 48) | (fraction << 16)
                                    : ((whole << 8 * (8 - k1)) >> 8 * k2) | (fraction << 8 * (8 - k2));
    x = eight_digits_value(x);
    static constexpr float float_powers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    if (x <= (1u << 24)) {
      value = float(x) / float_powers[k2];
    } else {
      static constexpr double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
      double d = double(x) / powers[k2];
      if (!converts_exactly_to_float(d)) return false;
      value = float(d);
    }
    p = after;
    return true;
  }

  static constexpr uint64_t powers_of_ten[] = {1,
                                               10,
                                               100,
                                               1000,
                                               10000,
                                               100000,
                                               1000000,
                                               10000000,
                                               100000000,
                                               1000000000,
                                               10000000000,
                                               100000000000,
                                               1000000000000,
                                               10000000000000,
                                               100000000000000,
                                               1000000000000000};

  // How many of the eight bytes of `x` (characters minus '0', first character in the low byte)
  // are digits before the first byte that is not; 8 when all are.
  [[gnu::always_inline]] static int leading_digits(uint64_t x) {
    // The top bit of each byte marks a non-digit; only bytes after the first one can carry.
    uint64_t marks = ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
    return marks ? __builtin_ctzll(marks) >> 3 : 8;
  }
  // The value of eight digit bytes (values 0..9) read as a decimal number, the first digit in the
  // low byte: neighbouring digits, then pairs, then quadruples are combined.
  [[gnu::always_inline]] static uint64_t eight_digits_value(uint64_t x) {
    x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFu;
    x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFu;
    return (x * 10000 + (x >> 32)) & 0xFFFFFFFFu;
  }

  // The length of the run of decimal digits at `s`; `value` gets its value (modulo 2^64). Eight
  // characters are classified and converted at a time where the text allows.
  [[gnu::always_inline]] static int digit_run(const char* s, const char* end, uint64_t& value) {
    uint64_t v = 0;
    int n = 0;
    while (end - s >= 8) {
      uint64_t word;
      std::memcpy(&word, s, 8);
      uint64_t x = word ^ 0x3030303030303030u;  // digit characters become their values 0..9
      int k = leading_digits(x);
      if (k == 0) break;
      x = eight_digits_value(x << 8 * (8 - k));  // the run's digits in the high bytes
      v = v * powers_of_ten[k] + x;
      n += k;
      s += k;
      if (k < 8) {
        value = v;
        return n;
      }
    }
    for (; s < end && is_digit(*s); ++s, ++n) v = v * 10 + uint64_t(*s - '0');
    value = v;
    return n;
  }

  static bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  static bool is_digit(char c) { return c >= '0' && c <= '9'; }
  void skip_space() {
    while (p < end && is_space(*p)) ++p;
  }
  int scan_float_fully(float& value);
};
