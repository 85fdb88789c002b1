// What counts as MPEG audio: a run of frame headers from the start of the file, after an optional
// ID3v2 tag. Other files (a WAV renamed, random bytes that hold one frame header by chance) are
// refused with a reason instead of being decoded into noise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "fsound/decode_mp3.h"
#include "fsound/fsound.h"
#include "fsound/fsound_offline.h"
#include "fsound/tests/mp3_fixture.h"

namespace {

namespace fs = std::filesystem;
using bytes = std::vector<uint8_t>;

// MPEG-1 layer III, 128 kbit/s, 44100 Hz, no padding: 417-byte frames.
constexpr uint8_t frame_header[4] = {0xFF, 0xFB, 0x90, 0x64};
constexpr size_t frame_bytes = 417;

bytes frames(int count, uint8_t filler = 0x55) {
  bytes b;
  for (int i = 0; i < count; ++i) {
    b.insert(b.end(), frame_header, frame_header + 4);
    b.insert(b.end(), frame_bytes - 4, filler);
  }
  return b;
}

std::string check(const bytes& head, uint64_t size) {
  std::string error;
  return fsound::check_mpeg_audio(head, size, error) ? "ok" : error;
}
std::string check(const bytes& file) { return check(file, file.size()); }

bytes random_bytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  bytes b(count);
  for (uint8_t& v : b) v = static_cast<uint8_t>(random());
  return b;
}

TEST(MpegCheck, ARunOfFramesFromTheStartIsMpegAudio) {
  EXPECT_EQ(check(frames(4)), "ok");
  EXPECT_EQ(check(frames(40)), "ok");
  // A short file ends with its frames; a cut-off last frame is a damaged tail, not another format.
  EXPECT_EQ(check(frames(2)), "ok");
  bytes cut = frames(3);
  cut.resize(cut.size() - 100);
  EXPECT_EQ(check(cut), "ok");
  // Only the head of a long file is looked at.
  const bytes head = frames(4);
  EXPECT_EQ(check(head, 5'000'000), "ok");

  // An ID3v2 tag (size in four 7-bit digits) and zero padding come first.
  bytes tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 1, 0};  // 128 bytes of tag body
  tagged.insert(tagged.end(), 128 + 20, 0);
  const bytes body = frames(4);
  tagged.insert(tagged.end(), body.begin(), body.end());
  EXPECT_EQ(check(tagged), "ok");
  tagged[8] = 0x81;
  EXPECT_EQ(check(tagged), "not MPEG audio: a damaged ID3 tag");
}

TEST(MpegCheck, OtherDataIsRefusedWithAReason) {
  EXPECT_EQ(check({}), "the file is empty");
  EXPECT_EQ(check(bytes(20000, 0)), "not MPEG audio: no MPEG audio frame at the start of the file");
  bytes wav = {'R', 'I', 'F', 'F'};
  wav.resize(20000, 0x7F);
  EXPECT_EQ(check(wav), "not MPEG audio: no MPEG audio frame at the start of the file");

  // One header followed by random bytes: no second frame where the first one's length ends.
  bytes lone = random_bytes(100000, 7);
  std::copy(frame_header, frame_header + 4, lone.begin());
  EXPECT_EQ(check(lone), "not MPEG audio: the frame at byte 0 is not followed by another at byte 417");

  // A run must keep its version, layer and sampling rate.
  bytes mixed = frames(4);
  mixed[2 * frame_bytes + 2] = 0x94;  // 48000 Hz
  EXPECT_EQ(check(mixed), "not MPEG audio: the frame at byte 0 is not followed by another at byte 834");
  // Reserved and free-format values are no frame header.
  for (const auto& [index, value] :
       {std::pair{1, 0xEB}, {1, 0xF9}, {2, 0x00}, {2, 0xF0}, {2, 0x9C}, {3, 0x66}}) {
    bytes b = frames(4);
    b[static_cast<size_t>(index)] = static_cast<uint8_t>(value);
    EXPECT_NE(check(b), "ok") << index << " " << value;
  }
}

class SampleLoadRefusal : public testing::Test {
 protected:
  void SetUp() override {
    dir = test_mp3::scratch_dir();
    fsound_use_manual_clock(1);
    ASSERT_TRUE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
  }
  void TearDown() override {
    FSOUND_Close();
    fsound_use_manual_clock(0);
    fs::remove_all(dir);
  }
  FSOUND_SAMPLE* load(const fs::path& path) {
    return FSOUND_Sample_Load(FSOUND_FREE, path.string().c_str(), FSOUND_NORMAL, 0, 0);
  }
  fs::path dir;
};

TEST_F(SampleLoadRefusal, AWavFileRenamedAndRandomBytesAreNoSample) {
  test_mp3::write_wav(dir / "renamed.mp3", {.frequency = 440, .seconds = 1.0});
  EXPECT_EQ(load(dir / "renamed.mp3"), nullptr);
  EXPECT_STREQ(fsound_error_text(), "not MPEG audio: no MPEG audio frame at the start of the file");

  // Random bytes that hold one, two or three frame headers in a row at the start: the MP3 decoder
  // alone would play the few frames of two or three as a looping buzz.
  for (const int headers : {1, 2, 3}) {
    test_mp3::write_false_frames(dir / "noise.mp3", headers, 200000, 11);
    EXPECT_EQ(load(dir / "noise.mp3"), nullptr) << headers;
    EXPECT_EQ(fsound_error_text(), "not MPEG audio: the frame at byte 0 is not followed by another at byte " +
                                       std::to_string(417 * headers));
  }

  EXPECT_EQ(load(dir / "missing.mp3"), nullptr);
  EXPECT_STREQ(fsound_error_text(), "cannot open: No such file or directory");
  EXPECT_EQ(load(dir), nullptr);
  EXPECT_NE(std::string(fsound_error_text()), "");

  // Real MP3 files load, with or without an ID3v2 tag, and clear the reason.
  test_mp3::encode_tone(dir / "tagged.mp3", {.frequency = 440, .seconds = 0.5}, "--add-id3v2 --tt Vorteline");
  char start[3] = {};
  std::ifstream(dir / "tagged.mp3", std::ios::binary).read(start, 3);
  ASSERT_EQ(std::string(start, 3), "ID3");
  EXPECT_NE(load(dir / "tagged.mp3"), nullptr) << fsound_error_text();
  EXPECT_STREQ(fsound_error_text(), "");
  test_mp3::encode_tone(dir / "plain.mp3", {.frequency = 440, .seconds = 0.5});
  EXPECT_NE(load(dir / "plain.mp3"), nullptr) << fsound_error_text();
}

}  // namespace
