// Memory of the OBJ loader: the bytes it holds at its peak stay proportional to the text it
// reads, whatever statements fill the text, and running out of memory is its ordinary failure.
// Every allocation of this program is counted (and can be refused) by the operators below.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "assets/obj_mesh.h"

namespace {

// Bytes held now and at the peak since the last reset; allocations that would take the bytes
// held beyond `limit` fail.
size_t held = 0, peak = 0, limit = ~size_t(0);

constexpr size_t header = 16;  // keeps the caller's block aligned like the allocator's own

void* counted_new(size_t bytes) {
  if (bytes > limit || held > limit - bytes) return nullptr;
  char* block = static_cast<char*>(std::malloc(bytes + header));
  if (!block) return nullptr;
  *reinterpret_cast<size_t*>(block) = bytes;
  held += bytes;
  if (held > peak) peak = held;
  return block + header;
}

void counted_delete(void* p) {
  if (!p) return;
  char* block = static_cast<char*>(p) - header;
  held -= *reinterpret_cast<size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(size_t bytes) {
  if (void* p = counted_new(bytes)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t bytes) { return operator new(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return counted_new(bytes); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return counted_new(bytes); }
void operator delete(void* p) noexcept { counted_delete(p); }
void operator delete[](void* p) noexcept { counted_delete(p); }
void operator delete(void* p, size_t) noexcept { counted_delete(p); }
void operator delete[](void* p, size_t) noexcept { counted_delete(p); }

namespace {

std::string repeated(const std::string& piece, size_t bytes) {
  std::string text;
  text.reserve(bytes + piece.size());
  while (text.size() < bytes) text += piece;
  return text;
}

// Peak bytes held while loading `text` (the text itself not counted), per byte of text.
double peak_per_byte(const std::string& text) {
  const size_t before = held;
  peak = held;
  {
    obj_mesh mesh;
    mesh.load_text(text, false);
  }
  return double(peak - before) / double(text.size());
}

struct hostile_file {
  const char* what;
  std::string text;
};

std::vector<hostile_file> hostile_files() {
  const size_t size = 2 << 20;
  // Faces naming a position defined after them send the loader down its two-pass route.
  const std::string two_pass = "f 1 2 3\nv 0 0 0\nv 1 0 0\nv 0 1 0\n";
  // 2000 positions and 2000 texture coordinates, every corner another pair of them.
  std::string many_records = repeated("v\n", 2 * 2000);
  for (int t = 0; t < 2000; ++t) many_records += "vt " + std::to_string(t) + "\n";
  for (int p = 1; many_records.size() < size; ++p)
    many_records += "f " + std::to_string(p % 2000 + 1) + "/" + std::to_string(p / 2000 % 2000 + 1) + " " +
                    std::to_string(p % 1999 + 1) + "/" + std::to_string(p / 1999 % 2000 + 1) + " " +
                    std::to_string(p % 1998 + 1) + "/" + std::to_string(p / 1998 % 2000 + 1) + "\n";
  return {
      {"material libraries", repeated("m\n", size)},
      {"material libraries, two passes", repeated("m\n", size) + two_pass},
      {"material uses", repeated("v 0 0 0\nf 1 1 1\n", 1000) + repeated("u\n", size)},
      {"material uses between faces", "v 0 0 0\n" + repeated("u\nf 1 1 1\n", size)},
      {"objects", repeated("o\n", size)},
      {"positions", repeated("v\n", size)},
      {"positions before one face", repeated("v\n", size) + "f 1 2 3\n"},
      {"positions, two passes", repeated("v\n", size) + two_pass},
      {"texture coordinates and normals", repeated("vt\nvn\n", size)},
      {"one face of many corners", "v 0 0 0\nf" + repeated(" 1", size) + "\n"},
      {"one face of many corners, two passes", "v 0 0 0\nf" + repeated(" 1", size) + "\n" + two_pass},
      {"many small faces", "v 0 0 0\n" + repeated("f 1 1 1\n", size)},
      {"many small faces, two passes", "v 0 0 0\n" + repeated("f 1 1 1\n", size) + two_pass},
      {"a record for every corner", many_records},
      {"a record for every corner, two passes", many_records + two_pass},
  };
}

TEST(obj_memory, peak_stays_proportional_to_the_text) {
  for (const hostile_file& f : hostile_files()) {
    const double ratio = peak_per_byte(f.text);
    // The largest honest need, a vertex record with its weld entries and triangle for a corner
    // of a few characters, stays well below this.
    EXPECT_LE(ratio, 32.0) << f.what;
    std::printf("%-40s %6.1f bytes per byte of text\n", f.what, ratio);
  }
}

TEST(obj_memory, running_out_of_memory_is_an_ordinary_failure) {
  // Enough elements that even the largest limit below runs out while the arrays are filled.
  const std::string text = "o body\n" + repeated("v 0.5 0.25 1\nvt 0.5 0.5\nvn 0 0 1\n", 1 << 21) +
                           repeated("f 1/1/1 2/1/1 3/1/1\n", 1 << 19) + "f 1 2 4\nv 0 0 1\n";
  for (size_t allowed : {size_t(1) << 10, size_t(1) << 16, size_t(1) << 20, size_t(4) << 20}) {
    obj_mesh mesh;
    limit = held + allowed;
    const bool loaded = mesh.load_text(text, false);
    limit = ~size_t(0);
    EXPECT_FALSE(loaded) << allowed;
    EXPECT_FALSE(mesh.loaded);
    EXPECT_TRUE(mesh.vertices.empty() && mesh.triangles.empty() && mesh.groups.empty());
    EXPECT_EQ(mesh.problem, "out of memory");
  }
  obj_mesh mesh;
  EXPECT_TRUE(mesh.load_text(text, false));
  EXPECT_EQ(mesh.problem, "");
}

}  // namespace
