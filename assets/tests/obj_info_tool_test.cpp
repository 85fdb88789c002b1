// The obj_info tool: its JSON line, what it says on standard error about a file that cannot be
// opened, faces it skipped, and a file too large for the memory the process may use.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Files of this process only: test programs of two builds may run at once.
std::string scratch(const std::string& name) {
  return testing::TempDir() + "obj_info_" + std::to_string(getpid()) + "_" + name;
}

struct tool_run {
  int status = -1;
  std::string out, err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs obj_info (the tests run in build/bin) through the shell, `before` first (a ulimit).
tool_run run_tool(const std::string& file, const std::string& before = "") {
  const std::string out = scratch("out"), err = scratch("err");
  const std::string command = before + "./obj_info " + file + " >" + out + " 2>" + err;
  tool_run r;
  const int status = std::system(("sh -c '" + command + "'").c_str());
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = slurp(out);
  r.err = slurp(err);
  return r;
}

void write(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

TEST(obj_info_tool, names_the_file_and_says_why) {
  const std::string none = scratch("no_such.obj");
  tool_run missing = run_tool(none);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, none + ": cannot open: No such file or directory\n");
  EXPECT_NE(missing.out.find("\"loaded\": false"), std::string::npos);

  const std::string bad = scratch("bad.obj");
  write(bad, "v 0 0 0\nv 1 0 0\nv 0 1 0\no a\nf 1 2 3\nf 1 2 9\nf 3 2 1\n");
  tool_run skipped = run_tool(bad);
  EXPECT_EQ(skipped.status, 0);
  EXPECT_NE(skipped.out.find("\"triangles\": 2"), std::string::npos) << skipped.out;
  EXPECT_EQ(
      skipped.err,
      bad + ": line 6: position index 9 out of range (the file has 3 positions); the face is skipped\n");

  std::remove(bad.c_str());
}

TEST(obj_info_tool, running_out_of_address_space_is_reported) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit allows";
#endif
  // About 40 MB of a grid with a record per position: well over 64 MB of arrays.
  const std::string big = scratch("big.obj");
  std::FILE* f = std::fopen(big.c_str(), "wb");
  ASSERT_TRUE(f);
  const int n = 700;
  std::fprintf(f, "o grid\n");
  for (int y = 0; y <= n; ++y)
    for (int x = 0; x <= n; ++x) std::fprintf(f, "v %d %d 0\nvt 0.%d 0.%d\n", x, y, x, y);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const int a = y * (n + 1) + x + 1, b = a + 1, c = a + n + 2, d = a + n + 1;
      std::fprintf(f, "f %d/%d %d/%d %d/%d %d/%d\n", a, a, b, b, c, c, d, d);
    }
  std::fclose(f);
  // The tool itself starts within the limit; the file's arrays do not fit it.
  EXPECT_EQ(run_tool(scratch("no_such.obj"), "ulimit -v 65536; ").status, 1);
  tool_run limited = run_tool(big, "ulimit -v 65536; ");
  EXPECT_EQ(limited.status, 1) << limited.err;
  EXPECT_EQ(limited.err, big + ": out of memory\n");
  tool_run unlimited = run_tool(big);
  EXPECT_EQ(unlimited.status, 0) << unlimited.err;
  std::remove(big.c_str());
  std::remove(scratch("out").c_str());
  std::remove(scratch("err").c_str());
}

}  // namespace
