// Runs the program from build/bin for the tests and reads what it wrote: its standard error, PNG files.
#include "capture/tests/program_runner.h"

#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace offline_test {

std::filesystem::path scratch_dir() {
  // Never destroyed: the removal at exit still needs it.
  static const std::filesystem::path* dir = [] {
    auto* d = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                        ("vt_capture_test_" + std::to_string(getpid())));
    std::filesystem::create_directories(*d);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(*dir, ignored);
    });
    return d;
  }();
  return *dir;
}

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

run_result run_program(const std::string& arguments) {
  const std::filesystem::path errors = scratch_dir() / "stderr.txt";
  const std::string command =
      "SDL_AUDIODRIVER=dummy ./vorteline " + arguments + " 2> '" + errors.string() + "'";
  run_result r;
  const int status = std::system(command.c_str());
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.errors = file_bytes(errors);
  return r;
}

image read_png(const std::filesystem::path& path) {
  image img;
  int channels = 0;
  uint8_t* data = stbi_load(path.string().c_str(), &img.width, &img.height, &channels, 3);
  if (!data) return {};
  img.rgb.assign(data, data + static_cast<size_t>(img.width) * img.height * 3);
  stbi_image_free(data);
  return img;
}

timed_status run_timed(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  timed_status t;
  t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  t.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return t;
}

std::string command_output(const std::string& command) {
  std::string out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

}  // namespace offline_test
