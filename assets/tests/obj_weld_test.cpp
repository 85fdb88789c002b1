// Welding corners into vertex records: the work per corner stays constant however many records
// share a position (counted in record comparisons, not timed), on both routes of the reader, and
// the records, their order and the weld lists stay those of the literal reader.
#include <gtest/gtest.h>

#include <string>

#include "assets/obj_mesh.h"
#include "assets/tests/obj_reference.h"

namespace {

enum class corner_form { texcoord, normal, both, same };

// Three positions and `faces` faces over them; the faces' other elements make every corner a new
// record (or, for `same`, the same three records again and again). With `forward` the file ends
// with a face naming a position defined after it, which only the two-pass route reads.
std::string three_position_file(int faces, corner_form form, bool forward) {
  std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (int i = 1; i <= faces; ++i) {
    const std::string n = std::to_string(i);
    if (form == corner_form::texcoord || form == corner_form::both) text += "vt " + n + " 0.5\n";
    if (form == corner_form::normal || form == corner_form::both) text += "vn 0 " + n + " 1\n";
  }
  for (int i = 1; i <= faces; ++i) {
    const std::string n = std::to_string(i);
    switch (form) {
      case corner_form::texcoord:
        text += "f 1/" + n + " 2/" + n + " 3/" + n + "\n";
        break;
      case corner_form::normal:
        text += "f 1//" + n + " 2//" + n + " 3//" + n + "\n";
        break;
      case corner_form::both:
        text += "f 1/" + n + "/" + n + " 2/" + n + "/" + n + " 3/" + n + "/" + n + "\n";
        break;
      case corner_form::same:
        text += "f 1 2 3\n";
        break;
    }
  }
  if (forward) text += "f 1 2 4\nv 0 0 1\n";
  return text;
}

TEST(obj_weld, comparisons_per_corner_stay_bounded_on_three_positions) {
  const int faces = 150000;
  struct variant {
    corner_form form;
    bool forward;
    size_t records, of_first_position;
  } variants[] = {
      {corner_form::texcoord, false, 3u * faces, faces},
      {corner_form::normal, false, 3u * faces, faces},
      {corner_form::both, false, 3u * faces, faces},
      {corner_form::same, false, 3, 1},
      // The last face carries positions only: new records for 1 and 2, and one for 4.
      {corner_form::texcoord, true, 3u * faces + 3, faces + 1},
      {corner_form::same, true, 4, 1},
  };
  for (const variant& v : variants) {
    const std::string text = three_position_file(faces, v.form, v.forward);
    obj_mesh mesh;
    ASSERT_TRUE(mesh.load_text(text, false));
    const size_t corners = mesh.triangles.size();
    ASSERT_EQ(corners, 3u * (faces + v.forward));
    EXPECT_EQ(mesh.vertices.size(), v.records);
    // A scan of every record made from the corner's position would compare about
    // 3 * faces * faces / 2 times; the short scan and then the hash need a few per corner.
    EXPECT_LE(mesh.weld_index.comparisons, (weld_table::scanned_records + 2) * corners)
        << "form " << int(v.form) << " forward " << v.forward;
    EXPECT_EQ(mesh.weld_index.records_of(0).size(), v.of_first_position);
  }
}

TEST(obj_weld, records_and_lists_match_the_literal_reader) {
  // Large enough for long lists per position, small enough for the literal reader's scans.
  for (corner_form form : {corner_form::texcoord, corner_form::both, corner_form::same})
    for (bool forward : {false, true}) {
      const std::string text = three_position_file(2000, form, forward);
      obj_mesh expected, actual;
      ASSERT_TRUE(reference_load_text(text, false, expected));
      ASSERT_TRUE(actual.load_text(text, false));
      EXPECT_EQ(mesh_difference(expected, actual), "") << "form " << int(form) << " forward " << forward;
    }
}

TEST(obj_weld, equal_bytes_from_different_positions_stay_apart) {
  // Positions 1 and 2 hold the same values; position 4 holds them too but is defined only after
  // the faces, so the two-pass route welds it while it still reads (0, 0, 0). Ten texture
  // coordinates, used twice over, give 1 and 2 lists long enough to be looked up by hash.
  std::string faces;
  for (int round = 0; round < 2; ++round)
    for (int t = 1; t <= 10; ++t) {
      const std::string n = std::to_string(t);
      faces += "f 1/" + n + " 2/" + n + " 3/" + n + "\n";
    }
  const char* routes[] = {"", "f 1/1 2/1 4/1\nv 0 0 0\n"};
  for (const char* tail : routes) {
    std::string text = "v 0 0 0\nv 0 0 0\nv 1 1 1\n";
    for (int t = 1; t <= 10; ++t) text += "vt " + std::to_string(t) + " -0\n";
    text += faces + tail;
    obj_mesh expected, mesh;
    ASSERT_TRUE(mesh.load_text(text, false));
    ASSERT_TRUE(reference_load_text(text, false, expected));
    EXPECT_EQ(mesh_difference(expected, mesh), "") << tail;
    EXPECT_EQ(mesh.weld_index.records_of(0).size(), 10u);
    EXPECT_EQ(mesh.weld_index.records_of(1).size(), 10u);
    EXPECT_EQ(mesh.vertices.size(), 30u + (*tail ? 1 : 0));
    // The second round reuses the first round's records, each from its own position.
    for (size_t k = 0; k < 30; ++k) EXPECT_EQ(mesh.triangles[30 + k], mesh.triangles[k]) << k;
    EXPECT_NE(mesh.triangles[0], mesh.triangles[1]);
  }
}

}  // namespace
