#include "assets/obj_mesh_text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_xdigit(char c) { return is_digit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c | 0x20) : c; }

constexpr double powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Converts a plain decimal ([sign] digits [. digits] [e [sign] digits], at least one mantissa
// digit) without the C library. A double holds the mantissa and the power of ten exactly, so one
// multiplication or division rounds correctly to double; rounding that double to float again is
// exact unless it lies precisely halfway between two floats, which is left to strtof, as are long
// mantissas, large exponents and results near the ends of the float range.
bool fast_decimal(const char* s, const char* end, float& out) {
  bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  uint64_t mantissa = 0;
  int digits = 0, exponent = 0;
  for (; s < end && is_digit(*s); ++s) {
    if (mantissa == 0 && *s == '0') continue;
    if (++digits > 19) return false;
    mantissa = mantissa * 10 + uint64_t(*s - '0');
  }
  if (s < end && *s == '.') {
    for (++s; s < end && is_digit(*s); ++s) {
      --exponent;
      if (mantissa == 0 && *s == '0') continue;
      if (++digits > 19) return false;
      mantissa = mantissa * 10 + uint64_t(*s - '0');
    }
  }
  if (s + 1 < end && (*s == 'e' || *s == 'E')) {
    ++s;
    bool negative_exponent = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    int e = 0;
    for (; s < end && is_digit(*s); ++s)
      if (e < 100000) e = e * 10 + (*s - '0');
    exponent += negative_exponent ? -e : e;
  }
  if (mantissa == 0) {
    out = negative ? -0.0f : 0.0f;
    return true;
  }
  if (mantissa > (uint64_t(1) << 53) || exponent < -22 || exponent > 22) return false;
  double d = double(mantissa);
  d = exponent < 0 ? d / powers_of_ten[-exponent] : d * powers_of_ten[exponent];
  if (!obj_text_reader::converts_exactly_to_float(d)) return false;
  out = negative ? -float(d) : float(d);
  return true;
}

}  // namespace

bool obj_text_reader::token(std::string_view& out) {
  skip_space();
  if (p == end) return false;
  const char* start = p;
  while (p < end && !(*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
  out = std::string_view(start, size_t(p - start));
  return true;
}

void obj_text_reader::skip_line() {
  const void* feed = std::memchr(p, '\n', size_t(end - p));
  p = feed ? static_cast<const char*>(feed) + 1 : end;
}

std::string_view obj_text_reader::rest_of_line() {
  const char* start = p;
  skip_line();
  const char* stop = (p > start && p[-1] == '\n') ? p - 1 : p;
  return std::string_view(start, size_t(stop - start));
}

int obj_text_reader::scan_float_fully(float& value) {
  skip_space();
  if (p == end) return -1;
  const char* start = p;
  const char* q = p;
  bool got_sign = false;
  if (*q == '-' || *q == '+') {
    got_sign = true;
    if (++q == end) {
      p = q;
      return 0;
    }
  }
  // Reads the next character (consuming it) and tells whether it is `want`, case-insensitively.
  auto expect = [&](char want) { return q < end && lower(*q++) == want; };
  bool hex = false;
  if (lower(*q) == 'n') {
    ++q;
    if (!expect('a') || !expect('n')) {
      p = q;
      return 0;
    }
  } else if (lower(*q) == 'i') {
    ++q;
    if (!expect('n') || !expect('f')) {
      p = q;
      return 0;
    }
    if (q < end && lower(*q) == 'i') {
      ++q;
      if (!expect('n') || !expect('i') || !expect('t') || !expect('y')) {
        p = q;
        return 0;
      }
    }
  } else {
    bool got_digit = false, got_dot = false, got_e = false;
    char exp_char = 'e';
    if (*q == '0') {
      ++q;
      if (q < end && lower(*q) == 'x') {
        ++q;
        hex = true;
        exp_char = 'p';
      } else {
        got_digit = true;
      }
    }
    for (; q < end; ++q) {
      char c = *q;
      if (is_digit(c) || (!got_e && hex && is_xdigit(c))) {
        got_digit = true;
      } else if (got_e && lower(q[-1]) == exp_char && (c == '-' || c == '+')) {
      } else if (got_digit && !got_e && lower(c) == exp_char) {
        got_e = got_dot = true;
      } else if (!got_dot && c == '.') {
        got_dot = true;
      } else {
        break;
      }
    }
    p = q;
    size_t length = size_t(q - start);
    if (length == size_t(got_sign) || (hex && length == size_t(got_sign) + 2)) return 0;
    if (!hex) {
      // The collected text converts when it holds a mantissa digit; strtof ignores a dangling
      // exponent mark ("1e", "1e+") the same way.
      bool has_digit = false;
      for (const char* s = start; s < q && !has_digit && lower(*s) != 'e'; ++s) has_digit = is_digit(*s);
      if (!has_digit) return 0;
      if (fast_decimal(start, q, value)) return 1;
    }
  }
  p = q;
  std::string text(start, q);
  char* stop = nullptr;
  float v = std::strtof(text.c_str(), &stop);
  if (stop == text.c_str()) return 0;
  value = v;
  return 1;
}
