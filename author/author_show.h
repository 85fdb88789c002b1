#pragma once
// What author mode needs from the show part besides drawing: its timeline set to any time as a
// fresh run reaches it, its programs rebuilt from their files, and the names of those files. The
// show part's implementation is in author_show_part_start.cpp.
#include <string>
#include <vector>

struct parts;

// The keys the show's key track held before its first frame (the track grows a key per frame).
int show_loaded_keys(parts* show);

// Sets `show`'s timeline as a fresh run from 0 in steps of 1/fps leaves it at running time `time`
// (the last step shortened to land on it): clocks, frame count and the key track cut back to its
// first `loaded_keys` keys. Draws nothing; the runtime's frame record is left as it was.
void seek_show_timeline(parts* show, double time, int fps, int loaded_keys);

// Rebuilds every program of the show from its files. A program that fails keeps its old build;
// the first failure's one-line report goes to `error`. False when any failed.
bool reload_show_programs(parts* show, std::string& error);

// The shader files the show's programs are built from, as the show names them.
std::vector<std::string> show_shader_files();
