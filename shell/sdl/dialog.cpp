// The settings dialog on SDL: a small window of its own drawn with Dear ImGui, the same controls
// and rules as the Win32 dialog template.
#include "shell/dialog.h"

#include <GL/gl.h>
#include <SDL.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include <string>
#include <vector>

#include "runtime/demo_state.h"
#include "shell/dialog_layout.h"
#include "shell/display_modes.h"
#include "shell/sdl/backend.h"
#include "shell/texts.h"

namespace {

// The dialog is laid out in dialog units (dialog_layout.h) and drawn at this many pixels per unit.
constexpr float unit = 2.0f;
// ImGui draws a control's frame from its top edge where the Win32 template's controls sit a unit
// higher: the controls move down by one unit, the lower group boxes start two units lower.
constexpr int control_drop = 1;
constexpr int group_drop = 2;
// The dialog looks for events this often, and redraws on every event or this often for hover
// effects.
constexpr Uint32 idle_poll_ms = 10;
constexpr Uint32 redraw_ms = 100;

constexpr const char* font_file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

const ImVec4 accent{0.22f, 0.46f, 0.80f, 1.0f};
const ImVec4 accent_hover{0.28f, 0.54f, 0.90f, 1.0f};

ImVec2 at(float x, float y) { return {x * unit, y * unit}; }

enum class dialog_result { open, run, quit };

struct dialog {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  std::vector<std::string> labels;
  dialog_choice choice;
  bool list_open = false;  // the resolution list is dropped down (Enter then picks in it)
};

void apply_style() {
  ImGui::StyleColorsDark();
  ImGuiStyle& style = ImGui::GetStyle();
  style.WindowRounding = 0.0f;
  style.WindowBorderSize = 0.0f;
  style.WindowPadding = {0.0f, 0.0f};
  style.FrameRounding = 3.0f;
  style.FrameBorderSize = 1.0f;
  style.PopupRounding = 3.0f;
  style.FramePadding = {8.0f, 6.0f};
  style.Colors[ImGuiCol_WindowBg] = {0.13f, 0.14f, 0.16f, 1.0f};
  style.Colors[ImGuiCol_PopupBg] = {0.16f, 0.17f, 0.20f, 1.0f};
  style.Colors[ImGuiCol_Border] = {0.32f, 0.34f, 0.38f, 1.0f};
  style.Colors[ImGuiCol_FrameBg] = {0.19f, 0.20f, 0.23f, 1.0f};
  style.Colors[ImGuiCol_FrameBgHovered] = {0.23f, 0.25f, 0.29f, 1.0f};
  style.Colors[ImGuiCol_Button] = {0.21f, 0.22f, 0.26f, 1.0f};
  style.Colors[ImGuiCol_ButtonHovered] = {0.27f, 0.29f, 0.34f, 1.0f};
  style.Colors[ImGuiCol_ButtonActive] = accent;
  style.Colors[ImGuiCol_Header] = accent;
  style.Colors[ImGuiCol_HeaderHovered] = accent_hover;
  style.Colors[ImGuiCol_HeaderActive] = accent;
}

// A group box: a thin rounded frame with an optional title set into its top edge.
void group_box(float x, float y, float w, float h, const char* title) {
  ImDrawList* draw = ImGui::GetWindowDrawList();
  const ImVec2 origin = ImGui::GetWindowPos();
  const float text_height = ImGui::GetTextLineHeight();
  const ImVec2 top_left{origin.x + x * unit, origin.y + y * unit + text_height * 0.5f};
  const ImVec2 bottom_right{origin.x + (x + w) * unit, origin.y + (y + h) * unit - 2.0f};
  draw->AddRect(top_left, bottom_right, ImGui::GetColorU32(ImGuiCol_Border), 4.0f);
  if (title && *title) {
    const ImVec2 size = ImGui::CalcTextSize(title);
    const ImVec2 text_at{top_left.x + 10.0f, top_left.y - text_height * 0.5f};
    draw->AddRectFilled({text_at.x - 4.0f, text_at.y}, {text_at.x + size.x + 4.0f, text_at.y + size.y},
                        ImGui::GetColorU32(ImGuiCol_WindowBg));
    draw->AddText(text_at, ImGui::GetColorU32(ImGuiCol_Text), title);
  }
}

// A check box drawn as a push button: lit while on.
void toggle(const char* label, bool& on, float x, float y) {
  ImGui::SetCursorPos(at(x, y));
  if (on) {
    ImGui::PushStyleColor(ImGuiCol_Button, accent);
    ImGui::PushStyleColor(ImGuiCol_ButtonHovered, accent_hover);
  }
  const bool pressed = ImGui::Button(label, at(TOGGLE_WIDTH, TOGGLE_HEIGHT));
  if (on) ImGui::PopStyleColor(2);
  if (pressed) on = !on;
}

dialog_result draw_dialog(dialog& d) {
  ImGui::SetNextWindowPos({0, 0});
  ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
  ImGui::Begin("settings", nullptr,
               ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                   ImGuiWindowFlags_NoBringToFrontOnFocus);
  dialog_result result = dialog_result::open;

  group_box(GROUP_X, RESOLUTION_GROUP_Y, GROUP_WIDTH, RESOLUTION_GROUP_HEIGHT, "Resolution");
  group_box(GROUP_X, TOGGLE_GROUP_Y + group_drop, GROUP_WIDTH, TOGGLE_GROUP_HEIGHT - group_drop, nullptr);
  group_box(GROUP_X, BUTTON_GROUP_Y + group_drop, GROUP_WIDTH, BUTTON_GROUP_HEIGHT - group_drop, nullptr);

  ImGui::SetCursorPos(at(MODES_X, MODES_Y + control_drop));
  ImGui::SetNextItemWidth(MODES_WIDTH * unit);
  const char* preview = d.labels.empty() ? "" : d.labels[d.choice.mode_index].c_str();
  if (ImGui::BeginCombo("##modes", preview, ImGuiComboFlags_HeightLarge)) {
    for (int i = 0; i < static_cast<int>(d.labels.size()); ++i) {
      const bool selected = i == d.choice.mode_index;
      if (ImGui::Selectable(d.labels[i].c_str(), selected)) d.choice.mode_index = i;
      if (selected) ImGui::SetItemDefaultFocus();
    }
    ImGui::EndCombo();
  }
  const bool list_open = ImGui::IsPopupOpen("##modes", ImGuiPopupFlags_AnyPopupId);

  bool windowed = d.choice.windowed;
  toggle("Antialiased", d.choice.antialiased, ANTIALIASED_X, TOGGLE_Y + control_drop);
  toggle("Windowed", windowed, WINDOWED_X, TOGGLE_Y + control_drop);
  toggle("Force 16:9", d.choice.force_16_9, FORCE_16_9_X, TOGGLE_Y + control_drop);
  d.choice.windowed = windowed;

  // "Run ... " is the default button: accent-coloured, and Enter presses it.
  ImGui::SetCursorPos(at(RUN_X, RUN_Y + control_drop));
  ImGui::PushStyleColor(ImGuiCol_Button, accent);
  ImGui::PushStyleColor(ImGuiCol_ButtonHovered, accent_hover);
  if (ImGui::Button("Run ... ", at(RUN_WIDTH, RUN_HEIGHT))) result = dialog_result::run;
  ImGui::PopStyleColor(2);
  ImGui::SetCursorPos(at(QUIT_X, RUN_Y + control_drop));
  if (ImGui::Button("Quit", at(QUIT_WIDTH, RUN_HEIGHT))) result = dialog_result::quit;

  d.list_open = list_open;
  ImGui::End();
  return result;
}

bool open_dialog(dialog& d) {
  // Without video (no display) the reason is the one SDL gives when it starts it.
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  if (video_shows_nothing()) return false;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  d.window = SDL_CreateWindow(texts::dialog_caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              static_cast<int>(DIALOG_WIDTH * unit), static_cast<int>(DIALOG_HEIGHT * unit),
                              SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  if (!d.window) return false;
  d.context = SDL_GL_CreateContext(d.window);
  if (!d.context) return false;
  SDL_GL_MakeCurrent(d.window, d.context);
  SDL_GL_SetSwapInterval(1);

  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  io.LogFilename = nullptr;
  if (SDL_RWops* probe = SDL_RWFromFile(font_file, "rb")) {
    SDL_RWclose(probe);
    io.Fonts->AddFontFromFileTTF(font_file, 15.0f);
  }
  apply_style();
  ImGui_ImplSDL2_InitForOpenGL(d.window, d.context);
  ImGui_ImplOpenGL2_Init();
  SDL_RaiseWindow(d.window);
  return true;
}

void close_dialog(dialog& d) {
  if (ImGui::GetCurrentContext()) {
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
  }
  if (d.context) SDL_GL_DeleteContext(d.context);
  if (d.window) SDL_DestroyWindow(d.window);
  d = {};
}

dialog_result run_dialog(dialog& d) {
  Uint32 drawn_at = SDL_GetTicks() - redraw_ms;
  for (;;) {
    // Polled, with a short sleep when nothing is waiting. SDL's blocking wait would wake itself
    // through an event sent to the dialog window on a second X connection; once the dialog is
    // closed that event names a window that no longer exists, and the X error it raises when
    // video shuts down ends the whole program.
    SDL_Event event;
    bool any = false;
    while (SDL_PollEvent(&event)) {
      any = true;
      if (event.type == SDL_QUIT) return dialog_result::quit;
      if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) {
        return dialog_result::quit;
      }
      // Escape acts as "Quit"; Enter presses the default button "Run ... ".
      if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) return dialog_result::quit;
      if (event.type == SDL_KEYDOWN && !d.list_open &&
          (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER)) {
        return dialog_result::run;
      }
      ImGui_ImplSDL2_ProcessEvent(&event);
    }
    if (!any && SDL_GetTicks() - drawn_at < redraw_ms) {
      SDL_Delay(idle_poll_ms);
      continue;
    }
    drawn_at = SDL_GetTicks();
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    const dialog_result result = draw_dialog(d);
    ImGui::Render();
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    glViewport(0, 0, static_cast<int>(size.x), static_cast<int>(size.y));
    glClearColor(0.13f, 0.14f, 0.16f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    SDL_GL_SwapWindow(d.window);
    if (result != dialog_result::open) return result;
  }
}

}  // namespace

void enumerate_display_modes() {
  demo.display_modes.clear();
  SDL_InitSubSystem(SDL_INIT_VIDEO);
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0) break;
    add_display_mode(demo.display_modes, mode.w, mode.h);
  }
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) desktop = {0, 640, 480, 0, nullptr};
  ensure_display_mode(demo.display_modes, desktop.w, desktop.h);
}

dialog_outcome run_settings_dialog() {
  dialog d;
  if (demo.modes_pending) {
    for (const display_mode& mode : demo.display_modes) d.labels.push_back(display_mode_label(mode));
    d.choice.mode_index = preselected_display_mode(demo.display_modes);
    demo.modes_pending = false;
  }
  const bool shown = open_dialog(d);
  const std::string reason = shown ? "" : SDL_GetError();
  const dialog_result result = shown ? run_dialog(d) : dialog_result::run;
  const dialog_choice choice = d.choice;
  close_dialog(d);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (result == dialog_result::quit) return dialog_outcome::quit;
  apply_dialog_choice(demo, choice);
  if (!shown) {
    // Without a window for the dialog the preselected settings stand, as if "Run ... " had been
    // pressed; the viewer is told why.
    report_no_dialog(reason, demo);
  }
  return dialog_outcome::run;
}
