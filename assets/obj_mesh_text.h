// The in-memory reader of OBJ text: a pointer over the buffer that reads tokens, lines and numbers
// the way C formatted input ("%s", "%d", "%f" and literal characters) reads a stream, with the
// same values and the same characters consumed, also when a conversion fails.
#pragma once
#include <cstdint>
#include <cstring>
#include <string_view>

struct obj_text_reader {
  const char* p;
  const char* end;

  static bool is_space(char c) {  // ' ', '\t', '\n', '\v', '\f', '\r'
    return (unsigned char)c <= ' ' && (uint64_t(0x100003E00) >> (unsigned char)c & 1);
  }
  static bool is_digit(char c) { return unsigned(c - '0') < 10u; }

  void skip_space() {
    while (p < end && is_space(*p)) ++p;
  }
  // "%s": skips white space and yields the following run of other characters (of any length).
  bool token(std::string_view& out) {
    skip_space();
    if (p == end) return false;
    const char* start = p;
    if (end - p >= 3 && (is_space(p[1]) || is_space(p[2]))) {  // a keyword of one or two characters
      p += is_space(p[1]) ? 1 : 2;
      out = std::string_view(start, size_t(p - start));
      return true;
    }
    // Eight characters at a time: the first byte below '!' is white space, or a control character
    // that belongs to the token.
    for (; end - p >= 8; p += 8) {
      const uint64_t x = load(p), marks = (x - 0x2121212121212121u) & ~x & 0x8080808080808080u;
      if (marks == 0) continue;
      p += __builtin_ctzll(marks) >> 3;
      if (is_space(*p)) break;
      p -= 7;
    }
    while (p < end && !is_space(*p)) ++p;
    out = std::string_view(start, size_t(p - start));
    return true;
  }
  // Consumes the rest of the current line and its line feed, however long the line is.
  void skip_line() {
    for (; end - p >= 8; p += 8) {
      const uint64_t x = load(p) ^ 0x0A0A0A0A0A0A0A0Au,
                     marks = (x - 0x0101010101010101u) & ~x & 0x8080808080808080u;
      if (marks != 0) {
        p += (__builtin_ctzll(marks) >> 3) + 1;
        return;
      }
    }
    const void* feed = std::memchr(p, '\n', size_t(end - p));
    p = feed ? static_cast<const char*>(feed) + 1 : end;
  }
  // Consumes the rest of the current line and its line feed; yields the line without the feed.
  std::string_view rest_of_line() {
    const char* start = p;
    skip_line();
    return std::string_view(start, size_t(p - start - (p > start && p[-1] == '\n')));
  }
  // A literal format character: consumed when it comes next.
  bool literal(char c) {
    if (p == end || *p != c) return false;
    ++p;
    return true;
  }
  // "%d": 1 when converted, 0 on a matching failure (a sign without digits stays consumed), -1
  // when the text ends first. Beyond 18 significant digits the value saturates at 2^62, far
  // beyond any index, instead of wrapping.
  [[gnu::always_inline]] int scan_int(int64_t& value) {
    uint64_t v;
    int n;
    if (end - p >= 8 && (n = short_run(p, v)) > 0 && n < 8) {  // the usual index, right here
      p += n;
      value = int64_t(v);
      return 1;
    }
    skip_space();
    if (p == end) return -1;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (p == end || !is_digit(*p)) return 0;
    const char* digits = p;
    v = 0;
    n = digit_run(p, v);
    if (n > 18) {
      int zeros = 0;
      while (zeros < n && digits[zeros] == '0') ++zeros;
      if (n - zeros > 18) v = uint64_t(1) << 62;
    }
    value = negative ? -int64_t(v) : int64_t(v);
    return 1;
  }
  // "%f": 1 when converted (to the float strtof gives for the characters consumed), 0 on a
  // matching failure, -1 when the text ends first. `value` is written only on success.
  [[gnu::always_inline]] int scan_float(float& value) {
    skip_space();
    if (p == end) return -1;
    const char* s = p;
    const bool negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    uint64_t mantissa = 0;
    int count, exponent = 0;
    if (end - s >= 24 && short_decimal(s, mantissa, count, exponent)) {
      s += count + 1;  // the usual spelling, digits '.' digits
    } else {
      // [digits][.digits][e[sign]digits], the digits gathered into one mantissa.
      if (s == end || !(is_digit(*s) || *s == '.') || (*s == '0' && end - s > 1 && (s[1] | 0x20) == 'x'))
        return scan_other_float(value);
      mantissa = 0;
      count = digit_run(s, mantissa);
      exponent = 0;
      if (s < end && *s == '.') {
        exponent = -digit_run(++s, mantissa);
        count -= exponent;
      }
      if (count == 0) {  // a point without digits: consumed, and nothing converts
        p = s;
        return 0;
      }
      if (s < end && (*s | 0x20) == 'e') {
        const bool negative_exponent = ++s < end && *s == '-';
        if (s < end && (*s == '-' || *s == '+')) ++s;
        int e = 0;
        for (; s < end && is_digit(*s); ++s)
          if (e < 100000) e = e * 10 + (*s - '0');
        exponent += negative_exponent ? -e : e;
      }
    }
    const char* start = p;
    p = s;
    // A mantissa and a power of ten that a float holds exactly give the correctly rounded float
    // in one operation, and so do those a double holds, unless converts_exactly says otherwise.
    static constexpr float float_powers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                             1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (count <= 19 && mantissa <= uint64_t(1) << 24 && exponent >= -10 && exponent <= 10) {
      const float f =
          exponent < 0 ? float(mantissa) / float_powers[-exponent] : float(mantissa) * float_powers[exponent];
      value = negative ? -f : f;
      return 1;
    }
    if (count <= 19 && mantissa <= uint64_t(1) << 53 && exponent >= -22 && exponent <= 22) {
      const double d =
          exponent < 0 ? double(mantissa) / powers[-exponent] : double(mantissa) * powers[exponent];
      if (converts_exactly(d)) {
        value = negative ? -float(d) : float(d);
        return 1;
      }
    }
    return convert(start, value);
  }

  // Whether rounding `d`, a correctly rounded double, on to float gives the correctly rounded
  // float: always in the normal float range, except for a double exactly halfway between floats.
  static bool converts_exactly(double d) {
    const double magnitude = d < 0 ? -d : d;
    if (magnitude != 0 && (magnitude < 0x1p-125 || magnitude > 0x1p127)) return false;
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return (bits & 0x1FFFFFFF) != 0x10000000;
  }

 private:
  static uint64_t load(const char* s) {
    uint64_t x;
    std::memcpy(&x, s, 8);
    return x;
  }
  // The length of the run of digits among the eight characters at `s` (which must be readable),
  // and below eight its value: after '0' is taken from each byte the digits are the bytes 0 to 9;
  // their run is moved to the high bytes and neighbours, pairs and quadruples are combined.
  [[gnu::always_inline]] static int short_run(const char* s, uint64_t& value) {
    const uint64_t x = load(s) ^ 0x3030303030303030u;
    const int n = digits_in(x);
    value = n ? eight_digits(x << (8 * (8 - n) & 63)) : 0;
    return n;
  }
  // How many of the bytes of `x`, from the low one, are 0 to 9 before the first that is not.
  static int digits_in(uint64_t x) {
    // The top bit of a byte marks a non-digit; a carry only runs on from a byte that is one.
    const uint64_t marks = ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
    return marks ? __builtin_ctzll(marks) >> 3 : 8;
  }
  // The number that eight digit bytes (0 to 9) spell, the first in the low byte.
  static uint64_t eight_digits(uint64_t x) {
    x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFu;
    x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFu;
    return (x * 10000 + (x >> 32)) & 0xFFFFFFFFu;
  }
  // The usual spelling of a number, one to seven digits, '.', then digits, at most eight in all,
  // and no exponent after them: its digits, their count and the power of ten, from two
  // eight-byte loads (24 characters must be readable at `s`). False for anything else.
  [[gnu::always_inline]] static bool short_decimal(const char* s, uint64_t& mantissa, int& count,
                                                   int& exponent) {
    const uint64_t whole = load(s) ^ 0x3030303030303030u;
    const int k1 = digits_in(whole);
    if (k1 == 0 || k1 == 8 || s[k1] != '.') return false;
    const uint64_t fraction = load(s + k1 + 1) ^ 0x3030303030303030u;
    const int k2 = digits_in(fraction);
    if (k2 == 0 || k1 + k2 > 8 || (s[k1 + 1 + k2] | 0x20) == 'e') return false;
    // Both runs side by side in the high bytes, the last digit in the top byte.
    mantissa = eight_digits(((whole << 8 * (8 - k1)) >> 8 * k2) | (fraction << 8 * (8 - k2)));
    count = k1 + k2;
    exponent = -k2;
    return true;
  }
  // Reads the run of digits at `s`, moving `s` past it, and appends them to `value` (modulo 2^64);
  // returns the run's length.
  int digit_run(const char*& s, uint64_t& value) const {
    const char* start = s;
    for (; s < end && is_digit(*s); ++s) value = value * 10 + uint64_t(*s - '0');
    return int(s - start);
  }
  // "%f" for what does not start as a decimal: "nan", "inf", "infinity", hexadecimal, or no number.
  int scan_other_float(float& value);
  // strtof on the characters from `start` to `p`, which formatted input has consumed.
  int convert(const char* start, float& value);
};
