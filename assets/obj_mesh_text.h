#pragma once
// Reads OBJ text held in memory the way C formatted input reads a stream ("%s", "%d", "%f" and
// literal characters): the same tokens, the same numbers, and the same characters consumed when
// a conversion fails, so a file gives the same results as a reader built on fscanf.
#include <cstdint>
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
  bool literal(char c);
  // "%d": 1 when converted, 0 on a matching failure, -1 when the text ends first. The value
  // saturates far beyond the 32-bit range instead of wrapping.
  int scan_int(int64_t& value);
  // "%f": 1 when converted (rounded exactly as strtof rounds), 0 on a matching failure, -1 when
  // the text ends first. `value` is written only on success.
  int scan_float(float& value);
};
