// The rules of the start folder: which arguments are paths, making them absolute, whether to
// change to the program's folder.
#include "shell/start_folder.h"

#include <utility>

namespace {

bool is_separator(char c, path_style style) {
  return c == '/' || (style == path_style::windows && c == '\\');
}

bool has_drive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The folder without the separators it ends with, unless it is a root ("/", "C:\").
std::string_view trimmed_folder(std::string_view folder, path_style style) {
  const size_t root = style == path_style::windows && has_drive(folder) ? 3 : 1;
  while (folder.size() > root && is_separator(folder.back(), style)) folder.remove_suffix(1);
  return folder;
}

// The number of values an option takes before the one that is a path, or -1 when the option
// takes no path.
int values_before_path(std::string_view option) {
  if (option == "--capture" || option == "--frames" || option == "--contact-sheet" || option == "--data")
    return 0;
  if (option == "--frame") return 1;  // --frame T OUT
  return -1;
}

}  // namespace

bool is_absolute_path(std::string_view path, path_style style) {
  if (path.empty()) return false;
  if (style == path_style::posix) return path[0] == '/';
  // "C:\a", "C:/a" and "\\server\share"; "\a" depends on the current drive, "C:a" on that drive's
  // working folder.
  return (has_drive(path) && path.size() >= 3 && is_separator(path[2], style)) ||
         (path.size() >= 2 && is_separator(path[0], style) && is_separator(path[1], style));
}

std::string absolute_path(std::string_view path, std::string_view folder, path_style style) {
  if (path.empty() || is_absolute_path(path, style)) return std::string(path);
  if (style == path_style::windows) {
    // "\a": the root of the start folder's drive.
    if (is_separator(path[0], style)) {
      std::string rooted(has_drive(folder) ? folder.substr(0, 2) : std::string_view());
      rooted += path;
      return rooted;
    }
    // "D:a" names a place relative to another drive's own working folder: left to the system.
    if (has_drive(path)) return std::string(path);
  }
  std::string result(folder);
  if (result.empty() || !is_separator(result.back(), style))
    result += style == path_style::windows ? '\\' : '/';
  result += path;
  return result;
}

std::vector<size_t> path_argument_positions(const std::vector<std::string>& arguments) {
  std::vector<size_t> positions;
  size_t i = 1;
  while (i < arguments.size()) {
    const int skip = values_before_path(arguments[i]);
    size_t next = i + 1;
    if (skip >= 0) {
      // The option's values up to its path; one that is another option is a malformed command
      // line, left for the parser to name, and read again as an option.
      const size_t position = i + 1 + static_cast<size_t>(skip);
      while (next <= position && next < arguments.size() && !arguments[next].starts_with("--")) ++next;
      if (next == position + 1) positions.push_back(position);
    }
    i = next;
  }
  return positions;
}

start_folder_plan plan_start_folder(std::vector<std::string> arguments, const std::string& start,
                                    bool start_holds_data, const std::string& program, path_style style) {
  start_folder_plan plan;
  const bool same = trimmed_folder(program, style) == trimmed_folder(start, style);
  if (!start_holds_data && !program.empty() && !same) {
    plan.change = true;
    plan.folder = program;
    for (const size_t position : path_argument_positions(arguments)) {
      arguments[position] = absolute_path(arguments[position], start, style);
    }
  }
  plan.arguments = std::move(arguments);
  return plan;
}
