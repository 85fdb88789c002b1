#pragma once
// The folder the program works in: the show opens its data by relative paths ("music/...",
// "misc//piano3.txt"), so a program started from elsewhere (a file manager, a shortcut,
// ../vorteline/vorteline) changes to its own folder first, after the paths on its command line
// have been made absolute against the folder the user started it from. These are the rules; each
// backend finds its program's folder and changes to it.
#include <string>
#include <string_view>
#include <vector>

// The folders the show reads its data from; a working folder holds the data when it has all six.
inline constexpr const char* show_data_folders[] = {"music",     "neomeshes",      "textures",
                                                    "Materials", "PostProcessing", "misc"};

// How paths are written: POSIX ("/a/b") or Windows ("C:\a\b", "\\server\share", "\a").
enum class path_style { posix, windows };

// True when `path` does not depend on the working folder.
bool is_absolute_path(std::string_view path, path_style style);

// `path` made absolute against `folder` (itself absolute); an absolute or empty path is returned
// as it is. Nothing is resolved: "./out.png" against "/tmp" is "/tmp/./out.png".
std::string absolute_path(std::string_view path, std::string_view folder, path_style style);

// The positions in `arguments` (argv[0] first) of the values that name files or folders: the
// outputs of --capture OUT, --frames DIR, --frame T OUT and --contact-sheet OUT, and --data DIR.
std::vector<size_t> path_argument_positions(const std::vector<std::string>& arguments);

// What the program does about its working folder at the start.
struct start_folder_plan {
  bool change = false;                 // change to `folder` before anything reads the data
  std::string folder;                  // the program's folder, when changing
  std::vector<std::string> arguments;  // the command line, its paths absolute when changing
};

// The plan for a program started in `start` (absolute) with `arguments`, whose file lies in
// `program` ("" when it cannot be told): it stays where it is when `start` holds the data (the
// command line untouched), when the program's folder is unknown or when it is `start` itself;
// otherwise it changes to `program`, the paths on its command line made absolute against `start`.
start_folder_plan plan_start_folder(std::vector<std::string> arguments, const std::string& start,
                                    bool start_holds_data, const std::string& program, path_style style);
