#pragma once
// Runs the program's offline modes from the test's working directory (build/bin) and reads what
// they write.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace offline_test {

struct run_result {
  int exit_code = -1;
  std::string errors;  // standard error
};

// Runs ./vorteline with `arguments` (already quoted for the shell).
run_result run_program(const std::string& arguments);

// A fresh folder for this test process's files.
std::filesystem::path scratch_dir();

struct image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // top row first
  const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// Reads a PNG as 8-bit RGB; an empty image when it cannot be read.
image read_png(const std::filesystem::path& path);

std::string file_bytes(const std::filesystem::path& path);

// Runs a command through the shell: its exit status (-1 when a signal ended it) and how long it ran.
struct timed_status {
  int exit_code = -1;
  double seconds = 0.0;
};
timed_status run_timed(const std::string& command);

// Runs a command through the shell and returns its standard output.
std::string command_output(const std::string& command);

}  // namespace offline_test
