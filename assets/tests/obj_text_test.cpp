// The in-memory reader against the C library: numbers convert to the same bits as strtof, and
// "%d", "%f" and "%s" consume the same characters as fscanf on a stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "assets/obj_mesh_text.h"

namespace {

uint32_t bits_of(float f) {
  uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

float read_float(const std::string& text) {
  obj_text_reader in{text.data(), text.data() + text.size()};
  float f = -12345.0f;
  EXPECT_EQ(in.scan_float(f), 1) << text;
  EXPECT_EQ(in.p, in.end) << text;
  return f;
}

// The same number with more of a line after it, as in a file, where longer loads are possible.
float read_float_in_line(const std::string& text) {
  std::string line = text + " 0.000000 0.000000 0.000000\n";
  obj_text_reader in{line.data(), line.data() + line.size()};
  float f = -12345.0f;
  EXPECT_EQ(in.scan_float(f), 1) << text;
  EXPECT_EQ(in.p, line.data() + text.size()) << text;
  return f;
}

// fscanf on a stream holding `text`: return value, value and characters consumed.
struct scanned {
  int result;
  int64_t consumed;
  float f;
  int i;
};

scanned stream_scan(const std::string& text, const char* format) {
  std::string copy = text;
  std::FILE* in = fmemopen(copy.data(), copy.size(), "r");
  scanned s{0, 0, -7.0f, -7};
  s.result = std::strcmp(format, "%d") == 0 ? std::fscanf(in, format, &s.i) : std::fscanf(in, format, &s.f);
  s.consumed = std::ftell(in);
  std::fclose(in);
  return s;
}

TEST(obj_text, decimals_round_exactly_like_strtof) {
  std::mt19937_64 rng(7);
  char text[96];
  for (int n = 0; n < 200000; ++n) {
    switch (n % 4) {
      case 0: {  // short decimals as exporters write them
        std::snprintf(text, sizeof text, "%.*f", int(rng() % 10),
                      std::ldexp(double(rng() % 2000000) - 1e6, -int(rng() % 24)));
        break;
      }
      case 1: {  // exactly halfway between two neighbouring floats, and one digit either side of it
        float f;
        uint32_t b = uint32_t(rng() % 0x7F000000u) + 0x00800000u;
        std::memcpy(&f, &b, 4);
        double mid = (double(f) + double(std::nextafter(f, INFINITY))) / 2;
        int length = std::snprintf(text, sizeof text, "%.60g", mid);
        if (rng() % 3 == 0 && length > 20) text[length - 1] = char('0' + rng() % 10);
        break;
      }
      case 2:  // random digit strings with exponents
        std::snprintf(text, sizeof text, "%s%llu.%llue%d", rng() % 2 ? "-" : "",
                      (unsigned long long)(rng() % 100000000), (unsigned long long)(rng() % 1000000000000ull),
                      int(rng() % 90) - 45);
        break;
      default:  // up to 19 significant digits
        std::snprintf(text, sizeof text, "0.%019llu", (unsigned long long)(rng() % 10000000000000000000ull));
        break;
    }
    float expected = std::strtof(text, nullptr);
    ASSERT_EQ(bits_of(read_float(text)), bits_of(expected)) << text;
    ASSERT_EQ(bits_of(read_float_in_line(text)), bits_of(expected)) << text;
  }
  // Every short mantissa at every short scale, as exporters write them.
  for (uint32_t mantissa = 0; mantissa <= (1u << 24); mantissa += 257)
    for (int scale = 0; scale <= 10; ++scale) {
      std::string digits = std::to_string(mantissa);
      digits.insert(0, size_t(std::max(0, scale + 1 - int(digits.size()))), '0');
      digits.insert(digits.size() - size_t(scale), 1, '.');
      float expected = std::strtof(digits.c_str(), nullptr);
      ASSERT_EQ(bits_of(read_float(digits)), bits_of(expected)) << digits;
      ASSERT_EQ(bits_of(read_float_in_line(digits)), bits_of(expected)) << digits;
      ASSERT_EQ(bits_of(read_float_in_line("-" + digits)), bits_of(-expected)) << digits;
    }
  // Around the eight digits that fit one word.
  for (const char* text : {"1.2345678", "12.345678", "1234567.8", "12345678.9", "0.12345678", "99999999.",
                           "9.9999999", "16777217.", "1677721.7", "3.", ".5", "7.5e1"})
    ASSERT_EQ(bits_of(read_float_in_line(text)), bits_of(std::strtof(text, nullptr))) << text;
  EXPECT_EQ(bits_of(read_float("-0")), bits_of(-0.0f));
  EXPECT_EQ(bits_of(read_float("-0.000")), bits_of(-0.0f));
  EXPECT_EQ(read_float("1e-50"), 0.0f);
  EXPECT_TRUE(std::isinf(read_float("1e39")));
  EXPECT_EQ(read_float("0x1.8p1"), 3.0f);
  EXPECT_TRUE(std::isnan(read_float("NaN")));
  EXPECT_EQ(read_float("-Infinity"), -INFINITY);
}

// Random texts over the characters that matter to number conversion: the return value, the value
// and the position after the conversion all match fscanf's.
TEST(obj_text, conversions_consume_like_fscanf) {
  const std::string alphabet = "0123456789+-.eEpPxXnNaAiIfFtTyY/ \n\t";
  std::mt19937 rng(11);
  for (int n = 0; n < 60000; ++n) {
    std::string text;
    int length = 1 + int(rng() % 10);
    for (int k = 0; k < length; ++k) text += alphabet[rng() % (n % 2 ? 12 : alphabet.size())];
    bool integer = n % 3 == 0;
    scanned expected = stream_scan(text, integer ? "%d" : "%f");
    obj_text_reader in{text.data(), text.data() + text.size()};
    int64_t i = -7;
    float f = -7.0f;
    int result = integer ? in.scan_int(i) : in.scan_float(f);
    ASSERT_EQ(result, expected.result) << '"' << text << '"';
    ASSERT_EQ(in.p - text.data(), expected.consumed) << '"' << text << '"';
    if (!integer) {
      ASSERT_EQ(bits_of(f), bits_of(expected.f)) << '"' << text << '"';
    } else if (i >= INT_MIN && i <= INT_MAX) {  // beyond, fscanf wraps and the reader saturates
      ASSERT_EQ(i, expected.result == 1 ? expected.i : -7) << text;
    }
  }
}

TEST(obj_text, tokens_and_lines) {
  std::string text = "  vt\t0.5 \r\nlong" + std::string(1000, 'x') + " tail\nlast";
  obj_text_reader in{text.data(), text.data() + text.size()};
  std::string_view token;
  ASSERT_TRUE(in.token(token));
  EXPECT_EQ(token, "vt");
  EXPECT_EQ(in.rest_of_line(), "\t0.5 \r");
  ASSERT_TRUE(in.token(token));
  EXPECT_EQ(token.size(), 1004u);
  in.skip_line();
  ASSERT_TRUE(in.token(token));
  EXPECT_EQ(token, "last");
  EXPECT_FALSE(in.token(token));
  in.skip_line();
  EXPECT_EQ(in.rest_of_line(), "");
  EXPECT_EQ(in.p, in.end);
}

}  // namespace
