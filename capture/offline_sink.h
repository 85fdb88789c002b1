#pragma once
// The outputs of the offline modes that take drawn frames (a video, numbered pictures, one
// picture, a contact sheet): what the offline loop asks of each, their makers, and the helpers
// they share. The probe draws nothing and has its own entry (run_probe).
#include <cstdint>
#include <memory>
#include <string>

struct offline_options;
struct offline_session;
struct picture;

// What the loop does with the frame at a show time.
enum class frame_choice {
  skip,  // only the show's timeline advances
  draw,  // drawn, then handed to keep
  end,   // the output is complete without it: the run ends with exit status 0
};

// What became of a kept frame.
enum class frame_outcome {
  more,      // the output takes further frames
  complete,  // the output is complete: the run ends (its status from session.done)
  stop,      // the output cannot go on (the reason is on standard error): the run ends failed
};

struct offline_sink {
  virtual ~offline_sink() = default;
  // Frames the output will take, for the progress line; 0 when not known ahead.
  virtual long frames_expected() const = 0;
  // Starts the output once the show has started; false (the reason on standard error) when it
  // cannot.
  virtual bool open() { return true; }
  virtual frame_choice choose(double show_time) const = 0;
  // Takes the frame just drawn (the back buffer), counted in session.drawn already.
  virtual frame_outcome keep(offline_session& session, uint64_t frame) = 0;
  // True when the sound of drawn frames is wanted (add_sound).
  virtual bool keeps_sound() const { return false; }
  // Interleaved stereo samples at the mix rate that play with the last frame kept; false when
  // they cannot be kept.
  virtual bool add_sound(const float* /*samples*/, unsigned /*frame_count*/) { return true; }
  // Ends the output as the run ends, setting session.done when it is complete and session.failed
  // when it could not be written.
  virtual void finish(offline_session& session) = 0;
};

std::unique_ptr<offline_sink> make_video_sink(const offline_options& options);
std::unique_ptr<offline_sink> make_frames_sink(const offline_options& options);
std::unique_ptr<offline_sink> make_frame_sink(const offline_options& options);
std::unique_ptr<offline_sink> make_sheet_sink(const offline_options& options);

// The probe: the show's timeline at the options' time as one line of JSON on standard output;
// the exit status.
int run_probe(const offline_options& options);

// For the outputs of a stretch of the show (--from to --to): frames in it at the options' rate,
// and the choice for a show time.
long frames_in_span(const offline_options& options);
frame_choice choose_in_span(const offline_options& options, double show_time);

// Writes `p` as a PNG file; false, with the path on standard error, when it cannot.
bool save_png(const std::string& path, const picture& p);
