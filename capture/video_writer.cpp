// Video output through the ffmpeg command: frames piped to the encoder, sound kept beside, both muxed.
#include "capture/video_writer.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/picture.h"

extern char** environ;

namespace {

// The encoder's settings. The x264 preset trades file size for speed, so that encoding keeps up
// with the frames; a constant rate factor of 18 is close to visually lossless; 192 kbit/s AAC
// is transparent for a stereo soundtrack.
constexpr const char* video_preset = "veryfast";
constexpr const char* video_quality = "18";
constexpr const char* sound_bit_rate = "192k";

bool write_all(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

int wait_for(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int run_command(const char* const* argv) {
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return -1;
  return wait_for(pid);
}

bool video_writer::open(const std::string& path, int frame_width, int frame_height, int frames_per_second,
                        int rate) {
  output = path;
  width = frame_width;
  height = frame_height;
  fps = frames_per_second;
  sample_rate = rate;
  video_path = output + ".video.tmp.mp4";
  sound_path = output + ".sound.tmp.f32";

  sound = std::fopen(sound_path.c_str(), "wb");
  if (!sound) {
    std::fprintf(stderr, "offline: cannot write %s\n", sound_path.c_str());
    return false;
  }

  // A dead encoder must show as a failed write, not end the program.
  std::signal(SIGPIPE, SIG_IGN);
  int fds[2];
  if (pipe(fds) != 0) return false;
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  const std::string rate_text = std::to_string(fps);
  // H.264 in 4:2:0 needs even sizes: odd ones get one black row or column.
  const char* const argv[] = {"ffmpeg",
                              "-hide_banner",
                              "-loglevel",
                              "error",
                              "-y",
                              "-f",
                              "rawvideo",
                              "-pix_fmt",
                              "rgba",
                              "-s",
                              size.c_str(),
                              "-r",
                              rate_text.c_str(),
                              "-i",
                              "pipe:0",
                              "-vf",
                              "vflip,pad=ceil(iw/2)*2:ceil(ih/2)*2",
                              "-c:v",
                              "libx264",
                              "-preset",
                              video_preset,
                              "-crf",
                              video_quality,
                              "-pix_fmt",
                              "yuv420p",
                              video_path.c_str(),
                              nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  const int spawned =
      posix_spawnp(&encoder, "ffmpeg", &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[0]);
  if (spawned != 0) {
    ::close(fds[1]);
    encoder = -1;
    std::fprintf(stderr, "offline: cannot start ffmpeg (install the Debian package ffmpeg)\n");
    return false;
  }
  encoder_input = fds[1];
  return true;
}

bool video_writer::add_frame(const picture& p) {
  if (failed || encoder_input < 0) return false;
  if (!write_all(encoder_input, p.rgba.data(), p.rgba.size())) {
    std::fprintf(stderr, "offline: the encoder stopped taking frames\n");
    failed = true;
    return false;
  }
  ++frames;
  return true;
}

bool video_writer::add_sound(const float* samples, long frame_count) {
  if (failed || !sound) return false;
  if (std::fwrite(samples, sizeof(float) * 2, static_cast<size_t>(frame_count), sound) !=
      static_cast<size_t>(frame_count)) {
    std::fprintf(stderr, "offline: cannot write %s\n", sound_path.c_str());
    failed = true;
    return false;
  }
  sound_frames += frame_count;
  return true;
}

bool video_writer::finish() {
  if (encoder_input >= 0) ::close(encoder_input);
  encoder_input = -1;
  const int encoded = encoder > 0 ? wait_for(encoder) : -1;
  encoder = -1;
  if (sound && std::fclose(sound) != 0) failed = true;
  sound = nullptr;

  bool ok = !failed && encoded == 0 && frames > 0;
  if (encoded != 0) std::fprintf(stderr, "offline: ffmpeg failed to encode the frames\n");
  if (ok) {
    const std::string rate = std::to_string(sample_rate);
    const char* const argv[] = {"ffmpeg",
                                "-hide_banner",
                                "-loglevel",
                                "error",
                                "-y",
                                "-i",
                                video_path.c_str(),
                                "-f",
                                "f32le",
                                "-ar",
                                rate.c_str(),
                                "-ac",
                                "2",
                                "-i",
                                sound_path.c_str(),
                                "-map",
                                "0:v:0",
                                "-map",
                                "1:a:0",
                                "-c:v",
                                "copy",
                                "-c:a",
                                "aac",
                                "-b:a",
                                sound_bit_rate,
                                "-movflags",
                                "+faststart",
                                output.c_str(),
                                nullptr};
    ok = run_command(argv) == 0;
    if (!ok)
      std::fprintf(stderr, "offline: ffmpeg failed to mux picture and sound into %s\n", output.c_str());
  }
  std::remove(video_path.c_str());
  std::remove(sound_path.c_str());
  return ok;
}
