#pragma once
// Encodes frames and the soundtrack into a video with the ffmpeg command: frames are piped to an
// H.264 encoder as they come, the sound is collected beside the output, and `finish` muxes both
// (AAC sound) into the output file.
#include <sys/types.h>

#include <cstdio>
#include <string>

struct picture;

struct video_writer {
  std::string output;
  int width = 0, height = 0, fps = 0, sample_rate = 0;
  long frames = 0;        // frames written
  long sound_frames = 0;  // stereo sample frames written
  bool failed = false;
  std::string video_path;  // intermediate files beside the output, removed by finish
  std::string sound_path;
  pid_t encoder = -1;
  int encoder_input = -1;
  std::FILE* sound = nullptr;

  // Starts the encoder. False (with a message on standard error) when it cannot start.
  bool open(const std::string& path, int frame_width, int frame_height, int frames_per_second, int rate);
  // Adds one frame (width x height, rows from the bottom as GL reads them).
  bool add_frame(const picture& p);
  // Adds interleaved stereo float samples that play with the frames.
  bool add_sound(const float* samples, long frame_count);
  // Ends the video stream, muxes picture and sound into the output and removes the intermediate
  // files. True when the output was written.
  bool finish();
};

// Runs a command (no shell) and waits for it; its exit status, or -1 when it could not run.
int run_command(const char* const* argv);
