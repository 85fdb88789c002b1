#pragma once
// Which of the scene's thirteen elements are drawn at a warped show time, by the bounds the scene
// drawing uses: a summary for author mode's status line.
#include <string>

// The short names of the elements drawn at warped time `ttime`, in drawing order, separated by
// spaces ("walls prisms opening wingrow beams hex tri" at the start).
std::string scene_elements_at(double ttime);
