// The working folder on SDL: the folder the program was started in, the data folders in it, the
// program's own folder (SDL_GetBasePath: /proc/self/exe on Linux) and the change to it.
#include "shell/start_folder.h"

#include <SDL.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "shell/sdl/backend.h"

namespace {

bool holds_show_data(const std::filesystem::path& folder) {
  for (const char* name : show_data_folders) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder / name, error)) return false;
  }
  return true;
}

}  // namespace

std::string program_folder() {
  char* base = SDL_GetBasePath();
  if (!base) return {};
  std::string folder = base;
  SDL_free(base);
  return folder;
}

void enter_start_folder(int& argc, char**& argv, start_command_line& command) {
  std::error_code error;
  const std::filesystem::path start = std::filesystem::current_path(error);
  // Without its working folder the program cannot tell where it is; it goes on as it is.
  if (error) return;

  const start_folder_plan plan =
      plan_start_folder(std::vector<std::string>(argv, argv + argc), start.string(), holds_show_data(start),
                        program_folder(), path_style::posix);
  if (!plan.change) return;
  command.arguments = plan.arguments;
  command.pointers.clear();
  for (std::string& argument : command.arguments) command.pointers.push_back(argument.data());
  command.pointers.push_back(nullptr);
  argc = static_cast<int>(command.arguments.size());
  argv = command.pointers.data();

  if (chdir(plan.folder.c_str()) != 0) {
    std::fprintf(stderr, "vorteline: cannot change to the program's folder %s: %s\n", plan.folder.c_str(),
                 std::strerror(errno));
  }
}
