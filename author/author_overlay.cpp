// The status line drawn with Dear ImGui's OpenGL 2 renderer: only its draw lists, no windows and
// no input.
#include "author/author_overlay.h"

#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

namespace {

constexpr float margin = 4.0f;
constexpr ImU32 backdrop = IM_COL32(0, 0, 0, 170);
constexpr ImU32 text_colour = IM_COL32(235, 235, 235, 255);
constexpr ImU32 error_colour = IM_COL32(255, 90, 80, 255);
constexpr float frame_seconds = 1.0f / 60.0f;

bool open = false;

void draw_line(ImDrawList* list, const char* text, float y, ImU32 colour, int width) {
  const float height = ImGui::GetTextLineHeight() + 2.0f * margin;
  list->AddRectFilled(ImVec2(0.0f, y), ImVec2(static_cast<float>(width), y + height), backdrop);
  list->AddText(ImVec2(margin, y + margin), colour, text);
}

}  // namespace

bool open_author_overlay() {
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGui::GetIO().IniFilename = nullptr;
  open = ImGui_ImplOpenGL2_Init();
  if (!open) ImGui::DestroyContext();
  return open;
}

void draw_author_overlay(const char* line, const char* error, int width, int height) {
  if (!open || (!line && !error) || width <= 0 || height <= 0) return;
  ImGuiIO& io = ImGui::GetIO();
  io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
  io.DeltaTime = frame_seconds;
  ImGui_ImplOpenGL2_NewFrame();
  ImGui::NewFrame();
  ImDrawList* list = ImGui::GetForegroundDrawList();
  float y = 0.0f;
  if (line) {
    draw_line(list, line, y, text_colour, width);
    y += ImGui::GetTextLineHeight() + 2.0f * margin;
  }
  if (error) draw_line(list, error, y, error_colour, width);
  ImGui::Render();
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

void close_author_overlay() {
  if (!open) return;
  ImGui_ImplOpenGL2_Shutdown();
  ImGui::DestroyContext();
  open = false;
}
