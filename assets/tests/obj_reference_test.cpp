// The in-memory loader against the literal fscanf reader: on awkward hand-written files and on
// thousands of generated and mutated ones, both accept the same files and produce the same bits.
#include "assets/tests/obj_reference.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "assets/obj_mesh.h"

namespace {

void expect_same_as_reference(const std::string& text, bool recompute) {
  ASSERT_TRUE(reference_applies(text)) << text;
  obj_mesh expected, actual;
  bool expected_ok = reference_load_text(text, recompute, expected);
  bool actual_ok = actual.load_text(text, recompute);
  ASSERT_EQ(actual_ok, expected_ok) << text;
  if (expected_ok) {
    ASSERT_EQ(mesh_difference(expected, actual), "") << text;
  }
}

TEST(obj_reference, awkward_files) {
  const char* head = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvn 0 0 1\n";
  const char* bodies[] = {
      "f 1 2 3\n",
      "o\nv 1 2 3\nf 1 2 3\n",               // the object name is the next token, wherever it is
      "v\n1 2 3\nf 1 2 5\n",                 // numbers of a 'v' may sit on the next lines
      "f 1 2 3\n4\n",                        // corners continue across lines
      "f 1/1 2/2 3/1 4/2 o x\n",             // the corners end at the next keyword
      "f 1 2 3 -x\nf 1 2 3 +\nf 1 2 3 .\n",  // a failed corner's sign stays consumed
      "v 1e 2e+ 3e-\nv .5 -.5 +.5e1\nv nan inf -infinity\nv 0x1p2 0X.8P1 0x\nv 1.5.3 4\nf 1 2 3\n",
      "v - 1 2\nv infix 1 2\nv nax 2 3\nv 1..2 3 4\nf 5 6 7 8\n",
      "vt 0.25 0.5 0.75\nvt 1\nvn 1 0\nvfoo 1 2\nvnx 0 1 0\nvtx 2 3\nf 1/3/2 2/4/3 3/3/2\n",
      "usemtl\nusemtl default\nusemtl x y\nf 1//1 2//1 3//1\n",
      "mtllib a.mtl\nmtl\nmaterial\nf 1 2 3\nusemtl default\nf 2 3 4\n",
      "f 1 2 3 4\r\no a\r\no b\r\nf -1 -2 -3\r\n\r\n",
      "f\t1/1/1\t2/2/1\t3/1/1 4/2/1\n# f 9 9 9\ng grp\ns 1\nl 1 2\n",
      "f 1/ 2/ 3/\n",
      "f 1/2//3 2 3\nf 1//1/ 2//1 3//1\n",
      "f 1/1/1 2/ 2/1 3/1/1\n",
      "f 1 2 3 o\nf 1 2 3\n",
      "v 1 2 3 v 4 5 6\nf 1 2 3\n",
      "f 1 2\n3 4\nf 1 2 3",
      "f 01 +2 -0001\n",
      "v 0 0 0\n\0\nf 1 2 3 4 5\n",
      "\nf 1 2 3\nv 5 5 5\nf 1 2 5\nf -1 -2 -3\nf 6 1 2\n",
      "o a\nf 1 2 3\no\n",
      "o a\n",
      "f 1 2 3\nf",
  };
  for (const char* body : bodies)
    for (bool recompute : {false, true}) expect_same_as_reference(std::string(head) + body, recompute);
  expect_same_as_reference("", false);
  expect_same_as_reference("o\n", false);
}

// The same kinds of text with plenty of text after every statement, where the loader reads the
// usual spellings by their fastest route; the results must not depend on that route.
TEST(obj_reference, awkward_files_with_room_after_them) {
  const char* head =
      "v 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 1.000000 1.000000 0.000000\n"
      "v 0.000000 1.000000 0.000000\nvt 0.000000 0.000000\nvt 1.000000 0.000000\n"
      "vn 0.000000 0.000000 1.000000\nvn -0.000000 0.000000 1.000000\n";
  const std::string room = "# " + std::string(100, 'x') + "\n";
  const char* bodies[] = {
      "f 1/1/1 2/2/1 3/1/2 4/2/2\n",
      "f 01/01/1 02/2/01 003/1/1\n",              // leading zeros
      "f 0/1/1 1/1/1 2/1/1\n",                    // index 0
      "f 1/1/1 2/1/1 1234567/1/1\n",              // seven digits, beyond the positions
      "f 1/1/1 2/1/1 0000003/1/1\n",              // seven digits, within them
      "f 1/3 2/1 3/1\n",                          // texture coordinate beyond those read
      "f 1//3 2//1 3//1\n",                       // normal beyond those read
      "f 1 2 3 4 1 2 3 4 1 2 3 4 1 2 3 4 1 2\n",  // more corners than the usual
      "f 1 2 3 4 1 2 3 4 1 2 3 4 1 2 3 4\n",
      "f 1 2 3\n 4 5\n",  // the next line starts with a number
      "f 1 2 3\n-4\n",
      "f 1//1  2//2\t3//1 \r\nf 4//2 3//2 1//1\t\n",
      "f 1/1/1 2/2/2 3/1/x\n",
      "f 1/1/1 2/2/2 3/1\n",  // a corner short of its form
      "f 1/1/1 2/2/2 3/1//1\n",
      "f 1/1 2/2/1 3/1\n",
      "f -1/-1/-1 -2/-2/-1 -3/-1/-2\n",
      "v 0.5 0.25 0.125   \r\nvt 0.5 0.5\t\nvn -0.000000 1.000000 -0.000000\nf 5/3/3 1/1/1 2/2/2\n",
      "v 12345678.5 1.123456789 -0.00000001\nv 1234567.8 -9999999.9 0.99999999\nf 5 6 1\n",
      "v 1.5 2.5\nv 1.5 2.5 3.5 4.5\nv 1.5\t2.5 3.5\nv  1.5 2.5 3.5\nf 5 6 7 8\n",
      "v 1.5 2.5 3.5e0\nv 1.5 2.5 -.5\nv 1. 2 3\nf 5 6 7\n",
      "vt 0.5 0.5 0.5\nvt 0.5\nvn 0.5 0.5\nf 1/3/3 2/4/1 3/3/3\n",
  };
  // Positions and faces taking turns, many times over: the per-position tables grow with the
  // positions, not with the number of turns.
  std::string turns;
  for (int i = 0; i < 200; ++i) turns += "v 0.5 1.5 2.5\nf 1 2 -1\n";
  expect_same_as_reference(std::string(head) + turns + room, false);
  obj_mesh mesh;
  ASSERT_TRUE(mesh.load_text(std::string(head) + turns + room, false));
  EXPECT_LT(mesh.weld_index.head.capacity(), size_t(4096));
  for (const char* body : bodies)
    for (bool recompute : {false, true}) {
      expect_same_as_reference(std::string(head) + body + room, recompute);
      expect_same_as_reference(std::string(head) + body, recompute);
    }
}

// A random file: statements of every kind with numbers and indices in every spelling, then
// random damage (characters changed, dropped or inserted).
std::string random_file(std::mt19937& rng) {
  auto pick = [&](std::initializer_list<const char*> options) {
    return *(options.begin() + rng() % options.size());
  };
  auto number = [&]() -> std::string {
    switch (rng() % 8) {
      case 0:
        return pick({"nan", "-inf", "1e", ".5", "-", "0x1p3", "1e-3", "-0", "3.", "+2", "x"});
      case 1:
        return std::to_string(int(rng() % 2000) - 1000);
      default: {
        char text[32];
        std::snprintf(text, sizeof text, "%.*f", int(rng() % 8), (double(rng() % 200000) - 1e5) / 997.0);
        return text;
      }
    }
  };
  // Half of the files name only elements that exist.
  bool valid = rng() % 2 == 0;
  int counts[3] = {0, 0, 0};
  std::string text;
  if (valid) {
    text.append("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n");
    counts[0] = 3;
    counts[1] = counts[2] = 1;
  }
  auto index = [&](int kind) {
    int n = counts[kind] + (valid ? 0 : 2);
    int r = int(rng() % 20);
    int value = (r == 0 && !valid) ? 0 : r < 4 ? -int(rng() % n) - 1 : int(rng() % n) + 1;
    return std::to_string(value);
  };
  int statements = 5 + int(rng() % 40);
  for (int s = 0; s < statements; ++s) {
    switch (rng() % 12) {
      case 0:
      case 1:
      case 2:
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on long chains of string +.
        text += "v ", text += number();
        text += ' ', text += number();
        text += ' ', text += number();
        if (rng() % 8 == 0) text += ' ', text += number();
        text += "\n";
        counts[0]++;
        break;
      case 3:
        text += "vt ", text += number();
        text += ' ', text += number();
        if (rng() % 4 == 0) text += ' ', text += number();
        text += "\n";
        counts[1]++;
        break;
      case 4:
        text += "vn ", text += number();
        text += ' ', text += number();
        text += ' ', text += number();
        text += "\n";
        counts[2]++;
        break;
      case 5:
      case 6:
      case 7:
      case 8: {
        int form = int(rng() % 4);
        int corners = 3 + int(rng() % 4) - (!valid && rng() % 10 == 0);
        text += "f";
        for (int c = 0; c < corners; ++c) {
          text.append(" ").append(index(0));
          if (form == 0) text.append("//").append(index(2));
          if (form == 1) text.append("/").append(index(1)).append("/").append(index(2));
          if (form == 2) text.append("/").append(index(1));
        }
        text += "\n";
        break;
      }
      case 9:
        text.append(pick({"o ", "o", "g ", "s "})).append(pick({"a", "body", "", "1"})).append("\n");
        break;
      case 10:
        text.append(pick({"usemtl ", "mtllib ", "# "}))
            .append(pick({"default", "m.mtl", "x y", ""}))
            .append("\n");
        break;
      default:
        text += pick({"\n", "vp 1 2\n", "\t\r\n", "l 1 2\n"});
        break;
    }
  }
  int damage = valid ? 0 : int(rng() % 4);
  const std::string noise = "vfo/ 0123456789-\n.\te";
  for (int d = 0; d < damage && !text.empty(); ++d) {
    size_t at = rng() % text.size();
    switch (rng() % 3) {
      case 0:
        text[at] = noise[rng() % noise.size()];
        break;
      case 1:
        text.erase(at, 1);
        break;
      default:
        text.insert(at, 1, noise[rng() % noise.size()]);
        break;
    }
  }
  return text;
}

TEST(obj_reference, generated_files) {
  std::mt19937 rng(2024);
  int clean = 0, compared = 0;
  for (int n = 0; n < 4000; ++n) {
    std::string text = random_file(rng);
    if (!reference_applies(text)) continue;
    obj_mesh expected, actual;
    bool recompute = n % 5 == 0;
    bool expected_ok = reference_load_text(text, recompute, expected);
    bool actual_ok = actual.load_text(text, recompute);
    ASSERT_EQ(actual_ok, expected_ok) << text;
    if (expected_ok) {
      ASSERT_EQ(mesh_difference(expected, actual), "") << text;
    }
    clean += expected_ok && actual.problem.find("skipped") == std::string::npos;
    compared++;
  }
  // Files read cleanly and files with faces skipped (or refused) must both be well represented
  // for the comparison to mean something.
  EXPECT_GT(compared, 3000);
  EXPECT_GT(clean, compared / 4);
  EXPECT_LT(clean, compared * 3 / 4 + compared / 5);
}

}  // namespace
