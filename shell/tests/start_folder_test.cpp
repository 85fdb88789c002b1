// The start folder's rules: which arguments are paths, how they are made absolute, when the
// program changes to its own folder.
#include "shell/start_folder.h"

#include <gtest/gtest.h>

namespace {

using args = std::vector<std::string>;

TEST(StartFolder, AbsolutePathsPosix) {
  EXPECT_TRUE(is_absolute_path("/tmp/out.png", path_style::posix));
  EXPECT_FALSE(is_absolute_path("out.png", path_style::posix));
  EXPECT_FALSE(is_absolute_path("./out.png", path_style::posix));
  EXPECT_FALSE(is_absolute_path("", path_style::posix));
  // A drive letter means nothing on POSIX.
  EXPECT_FALSE(is_absolute_path("C:\\out.png", path_style::posix));
}

TEST(StartFolder, AbsolutePathsWindows) {
  EXPECT_TRUE(is_absolute_path("C:\\shows\\out.png", path_style::windows));
  EXPECT_TRUE(is_absolute_path("d:/out.png", path_style::windows));
  EXPECT_TRUE(is_absolute_path("\\\\server\\share\\out.png", path_style::windows));
  EXPECT_FALSE(is_absolute_path("out.png", path_style::windows));
  EXPECT_FALSE(is_absolute_path("C:out.png", path_style::windows));
  EXPECT_FALSE(is_absolute_path("\\out.png", path_style::windows));
}

TEST(StartFolder, RelativePathJoinsTheStartFolder) {
  EXPECT_EQ(absolute_path("out.png", "/tmp/somewhere", path_style::posix), "/tmp/somewhere/out.png");
  EXPECT_EQ(absolute_path("out.png", "/tmp/somewhere/", path_style::posix), "/tmp/somewhere/out.png");
  EXPECT_EQ(absolute_path("a/b.png", "/", path_style::posix), "/a/b.png");
  EXPECT_EQ(absolute_path("../b.png", "/tmp/x", path_style::posix), "/tmp/x/../b.png");
  EXPECT_EQ(absolute_path("/var/out.png", "/tmp/x", path_style::posix), "/var/out.png");
  EXPECT_EQ(absolute_path("", "/tmp/x", path_style::posix), "");
}

TEST(StartFolder, RelativePathJoinsTheStartFolderWindows) {
  EXPECT_EQ(absolute_path("out.png", "C:\\Users\\me", path_style::windows), "C:\\Users\\me\\out.png");
  EXPECT_EQ(absolute_path("out.png", "C:\\", path_style::windows), "C:\\out.png");
  EXPECT_EQ(absolute_path("shots/a.png", "C:/Users/me/", path_style::windows), "C:/Users/me/shots/a.png");
  EXPECT_EQ(absolute_path("\\out.png", "D:\\show", path_style::windows), "D:\\out.png");
  EXPECT_EQ(absolute_path("E:out.png", "D:\\show", path_style::windows), "E:out.png");
  EXPECT_EQ(absolute_path("E:\\out.png", "D:\\show", path_style::windows), "E:\\out.png");
}

TEST(StartFolder, PathArgumentsOfEachMode) {
  using positions = std::vector<size_t>;
  EXPECT_EQ(path_argument_positions(args{"vorteline"}), positions{});
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--capture", "v.mp4", "--fps", "30"}), positions{2});
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--frames", "dir", "--size", "64x36"}), positions{2});
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--frame", "120", "out.png"}), positions{3});
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--contact-sheet", "s.png", "--every", "5"}),
            positions{2});
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--probe", "12", "--fps", "60"}), positions{});
  EXPECT_EQ(
      path_argument_positions(args{"vorteline", "--author", "--from", "3", "--data", "d", "--fullscreen"}),
      positions{5});
  // Only argv[0] is never a path argument, whatever it says.
  EXPECT_EQ(path_argument_positions(args{"--capture", "x"}), positions{});
}

TEST(StartFolder, MalformedPathOptionsAreLeftToTheParser) {
  using positions = std::vector<size_t>;
  // Missing values.
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--capture"}), positions{});
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--frame", "120"}), positions{});
  // A value that is another option is read as that option.
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--capture", "--fps", "30"}), positions{});
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--frame", "--data", "d"}), positions{3});
  EXPECT_EQ(path_argument_positions(args{"vorteline", "--frame", "1", "--frames", "d"}), positions{4});
}

TEST(StartFolder, StaysWhereTheDataIs) {
  const args command{"vorteline", "--frame", "120", "out.png"};
  const start_folder_plan plan =
      plan_start_folder(command, "/home/me/vorteline", true, "/opt/vorteline", path_style::posix);
  EXPECT_FALSE(plan.change);
  EXPECT_EQ(plan.arguments, command);
}

TEST(StartFolder, ChangesToTheProgramFolderWithAbsolutePaths) {
  const start_folder_plan plan =
      plan_start_folder(args{"../vorteline/vorteline", "--frame", "120", "out.png"}, "/tmp/somewhere", false,
                        "/tmp/vorteline", path_style::posix);
  EXPECT_TRUE(plan.change);
  EXPECT_EQ(plan.folder, "/tmp/vorteline");
  EXPECT_EQ(plan.arguments, (args{"../vorteline/vorteline", "--frame", "120", "/tmp/somewhere/out.png"}));
}

TEST(StartFolder, KeepsAbsolutePathsAndOtherValues) {
  const start_folder_plan plan =
      plan_start_folder(args{"vorteline", "--capture", "/srv/v.mp4", "--size", "64x36", "--from", "10"},
                        "/tmp/a", false, "/opt/vorteline", path_style::posix);
  EXPECT_TRUE(plan.change);
  EXPECT_EQ(plan.arguments,
            (args{"vorteline", "--capture", "/srv/v.mp4", "--size", "64x36", "--from", "10"}));
}

TEST(StartFolder, StaysWhenTheProgramFolderIsUnknownOrTheStart) {
  const args command{"vorteline", "--frames", "shots"};
  EXPECT_FALSE(plan_start_folder(command, "/tmp/a", false, "", path_style::posix).change);
  const start_folder_plan same = plan_start_folder(command, "/tmp/a", false, "/tmp/a/", path_style::posix);
  EXPECT_FALSE(same.change);
  EXPECT_EQ(same.arguments, command);
  EXPECT_FALSE(plan_start_folder(command, "C:\\show", false, "C:\\show\\", path_style::windows).change);
}

TEST(StartFolder, WindowsPlanJoinsWithBackslashes) {
  const start_folder_plan plan =
      plan_start_folder(args{"vorteline.exe", "--author", "--data", "work"}, "C:\\Users\\me", false,
                        "D:\\vorteline", path_style::windows);
  EXPECT_TRUE(plan.change);
  EXPECT_EQ(plan.folder, "D:\\vorteline");
  EXPECT_EQ(plan.arguments, (args{"vorteline.exe", "--author", "--data", "C:\\Users\\me\\work"}));
}

}  // namespace
