// libFuzzer target: the MPEG audio check on arbitrary file heads, as the whole file and as the head
// of a longer one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fsound/decode_mp3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> head(data, data + size);
  std::string error;
  for (const uint64_t file_size : {static_cast<uint64_t>(size), static_cast<uint64_t>(size) + 100000}) {
    if (!fsound::check_mpeg_audio(head, file_size, error) && error.empty()) __builtin_trap();
  }
  return 0;
}
