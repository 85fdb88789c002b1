// Author mode's keys, requests, loop and status line as plain functions.
#include "author/author_controls.h"

#include <gtest/gtest.h>

namespace {

author_request key(int vk, bool shift = false) { return author_request_for_key(vk, shift); }

TEST(AuthorControls, KeysAskForTheirRequests) {
  EXPECT_EQ(key(author_vk::space).command, author_command::pause);
  EXPECT_EQ(key(author_vk::page_up).seconds, -5.0);
  EXPECT_EQ(key(author_vk::page_down).seconds, 5.0);
  EXPECT_EQ(key(author_vk::page_up, true).seconds, -30.0);
  EXPECT_EQ(key(author_vk::page_down, true).seconds, 30.0);
  EXPECT_EQ(key(author_vk::home).command, author_command::restart);
  EXPECT_EQ(key(author_vk::comma).seconds, -1.0 / 60.0);
  EXPECT_EQ(key(author_vk::period).seconds, 1.0 / 60.0);
  EXPECT_EQ(key(author_vk::bracket_open).command, author_command::loop_start);
  EXPECT_EQ(key(author_vk::bracket_close).command, author_command::loop_end);
  EXPECT_EQ(key(vk::back).command, author_command::loop_clear);
  EXPECT_EQ(key(author_vk::f5).command, author_command::reload);
  EXPECT_EQ(key(author_vk::tab).command, author_command::status);
  // The show's own keys are not author mode's.
  for (int vk : {27, int('A'), int('Q'), 37, 38, 39, 40, 112, int('1')})
    EXPECT_EQ(key(vk).command, author_command::none) << vk;
}

TEST(AuthorControls, SeeksStayWithinTheShowAndStepsOnlyWhilePaused) {
  author_controls c;
  EXPECT_EQ(apply_author_request(c, key(author_vk::page_down), 10.0).target, 15.0);
  const author_move back = apply_author_request(c, key(author_vk::page_up, true), 10.0);
  EXPECT_TRUE(back.seek);
  EXPECT_EQ(back.target, 0.0);
  EXPECT_EQ(apply_author_request(c, key(author_vk::page_down, true), 200.0).target, author_latest);
  EXPECT_EQ(apply_author_request(c, key(author_vk::home), 120.0).target, 0.0);

  EXPECT_FALSE(apply_author_request(c, key(author_vk::period), 10.0).seek);  // running: no step
  EXPECT_FALSE(apply_author_request(c, key(author_vk::space), 10.0).seek);
  EXPECT_TRUE(c.paused);
  EXPECT_DOUBLE_EQ(apply_author_request(c, key(author_vk::period), 10.0).target, 10.0 + 1.0 / 60.0);
  EXPECT_DOUBLE_EQ(apply_author_request(c, key(author_vk::comma), 10.0).target, 10.0 - 1.0 / 60.0);
  EXPECT_EQ(apply_author_request(c, key(author_vk::comma), 0.0).target, 0.0);
  apply_author_request(c, key(author_vk::space), 10.0);
  EXPECT_FALSE(c.paused);
}

TEST(AuthorControls, ALoopPlaysFromItsStartOnceItsEndIsReached) {
  author_controls c;
  apply_author_request(c, key(author_vk::bracket_open), 20.0);
  EXPECT_FALSE(loop_active(c));
  EXPECT_FALSE(loop_move(c, 100.0).seek);
  apply_author_request(c, key(author_vk::bracket_close), 30.0);
  ASSERT_TRUE(loop_active(c));
  EXPECT_FALSE(loop_move(c, 29.99).seek);
  const author_move wrap = loop_move(c, 30.0);
  EXPECT_TRUE(wrap.seek);
  EXPECT_EQ(wrap.target, 20.0);
  c.paused = true;  // a paused clock stays at the loop's end
  EXPECT_FALSE(loop_move(c, 30.0).seek);
  c.paused = false;
  // A start after the end drops the end; an end before the start is no loop.
  apply_author_request(c, key(author_vk::bracket_open), 40.0);
  EXPECT_FALSE(loop_active(c));
  apply_author_request(c, key(author_vk::bracket_close), 35.0);
  EXPECT_FALSE(loop_active(c));
  apply_author_request(c, key(author_vk::bracket_close), 50.0);
  EXPECT_TRUE(loop_active(c));
  apply_author_request(c, key(vk::back), 45.0);
  EXPECT_FALSE(loop_active(c));
  EXPECT_LT(c.loop_start, 0.0);
  // ] alone loops from the show's start.
  apply_author_request(c, key(author_vk::bracket_close), 12.0);
  EXPECT_TRUE(loop_active(c));
  EXPECT_EQ(loop_move(c, 12.5).target, 0.0);
}

TEST(AuthorControls, StatusLineShowsEveryValue) {
  author_status s;
  s.running_time = 95.5;
  s.scene_time = 120.5;
  s.elements = "escher walls";
  s.frames_per_second = 59.9;
  s.ms_per_frame = 16.69;
  s.limit = -3;
  s.updown = 0.05;
  s.paused = true;
  s.loop_start = 90;
  s.loop_end = 100;
  const std::string line = author_status_line(s);
  for (const char* part : {"PAUSED", "95.50 s", "scene  120.50", "escher walls", "59.9 fps", "16.69 ms",
                           "limit -3", "updown 0.05", "loop 90.00-100.00"}) {
    EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
  }
  s.paused = false;
  s.loop_end = -1;
  const std::string running = author_status_line(s);
  EXPECT_EQ(running.find("PAUSED"), std::string::npos);
  EXPECT_NE(running.find("loop from 90.00"), std::string::npos) << running;
}

}  // namespace
