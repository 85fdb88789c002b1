// Looks at the running program from outside, the way the Wine test drives it: prints the settings
// dialog's resource template and live state, the show window, and message boxes, one fact a line.
//   win_probe template EXE   the dialog template 101 stored in EXE
//   win_probe dialog         the open settings dialog: caption, mode list, selection, toggles
//   win_probe window         the show window: class, title, styles, client size
//   win_probe box CAPTION    the message box with that caption: its text
//   win_probe close          asks the show window to close, as its close box does
//   win_probe sound MP3      plays MP3 through the sound library for 3 s: how fast its position
//                            moves against the performance counter, and whether a spectrum comes
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fsound/fsound.h"

namespace {

constexpr const char* dialog_caption = "     Vorteline | Quorl vs Vantry - 2010 ";

// Reads the dialog template's variable-length fields.
struct template_reader {
  const uint8_t* at;

  uint16_t word() {
    uint16_t v;
    std::memcpy(&v, at, 2);
    at += 2;
    return v;
  }
  uint32_t dword() {
    uint32_t v;
    std::memcpy(&v, at, 4);
    at += 4;
    return v;
  }
  int16_t short_value() { return static_cast<int16_t>(word()); }
  std::string text() {
    std::string s;
    for (uint16_t c = word(); c != 0; c = word()) s += static_cast<char>(c);
    return s;
  }
  // A name or an ordinal: empty, "#ordinal" or the text.
  std::string name_or_ordinal() {
    uint16_t first;
    std::memcpy(&first, at, 2);
    if (first == 0) {
      at += 2;
      return "";
    }
    if (first == 0xFFFF) {
      at += 2;
      std::string ordinal = "#";
      ordinal += std::to_string(word());
      return ordinal;
    }
    return text();
  }
  void align(const uint8_t* base) {
    while ((at - base) % 4 != 0) ++at;
  }
};

int print_template(const char* exe) {
  HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return std::printf("error=cannot load %s\n", exe), 1;
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (!resource) return std::printf("error=no dialog 101\n"), 1;
  const auto* base = static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)));
  template_reader r{base};
  const uint16_t version = r.word(), signature = r.word();
  std::printf("template=%s\n", version == 1 && signature == 0xFFFF ? "DIALOGEX" : "other");
  r.dword();  // help id
  const uint32_t ex_style = r.dword(), style = r.dword();
  const int count = r.word();
  const int x = r.short_value(), y = r.short_value(), cx = r.short_value(), cy = r.short_value();
  std::printf("style=0x%08x\nexstyle=0x%08x\nrect=%d,%d,%d,%d\n", style, ex_style, x, y, cx, cy);
  std::printf("menu=%s\n", r.name_or_ordinal().c_str());
  std::printf("class=%s\n", r.name_or_ordinal().c_str());
  std::printf("caption=[%s]\n", r.text().c_str());
  if (style & DS_SETFONT) {
    const int points = r.word(), weight = r.word();
    r.at += 2;  // italic, character set
    std::printf("font=%d,%d,%s\n", points, weight, r.text().c_str());
  }
  for (int i = 0; i < count; ++i) {
    r.align(base);
    r.dword();  // help id
    const uint32_t item_ex_style = r.dword(), item_style = r.dword();
    const int ix = r.short_value(), iy = r.short_value(), icx = r.short_value(), icy = r.short_value();
    const auto id = static_cast<int32_t>(r.dword());
    const std::string item_class = r.name_or_ordinal();
    const std::string title = r.name_or_ordinal();
    r.at += r.word();  // creation data
    std::printf("control=%d,%s,[%s],0x%08x,0x%08x,%d,%d,%d,%d\n", id, item_class.c_str(), title.c_str(),
                item_style, item_ex_style, ix, iy, icx, icy);
  }
  return 0;
}

std::string list_item(HWND dialog, LRESULT index) {
  wchar_t text[256] = {};
  if (SendDlgItemMessageW(dialog, 1014, CB_GETLBTEXTLEN, index, 0) >= 256) return "(too long)";
  SendDlgItemMessageW(dialog, 1014, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  std::string narrow;
  for (const wchar_t* c = text; *c; ++c) narrow += static_cast<char>(*c);
  return narrow;
}

int print_dialog() {
  HWND dialog = FindWindowA("#32770", dialog_caption);
  if (!dialog) return std::printf("error=no dialog\n"), 1;
  char text[256];
  GetWindowTextA(dialog, text, sizeof text);
  std::printf("caption=[%s]\n", text);
  // The list's strings are read as UTF-16: the A form is not converted across processes.
  const LRESULT items = SendDlgItemMessageW(dialog, 1014, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < items; ++i) std::printf("mode=[%s]\n", list_item(dialog, i).c_str());
  const LRESULT selected = SendDlgItemMessageW(dialog, 1014, CB_GETCURSEL, 0, 0);
  std::printf("selected=%d [%s]\n", static_cast<int>(selected), list_item(dialog, selected).c_str());
  const int toggles[] = {1011, 1012, 1013};
  for (const int id : toggles) {
    GetDlgItemTextA(dialog, id, text, sizeof text);
    std::printf("toggle=%s,%d\n", text, IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0);
  }
  // Centres of the buttons on the screen, for clicking them.
  const int buttons[] = {1, 2, 1011, 1012, 1013};
  for (const int id : buttons) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    std::printf("button=%d,%ld,%ld\n", id, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }
  return 0;
}

int print_window() {
  HWND window = FindWindowA("OpenGL", nullptr);
  if (!window) return std::printf("error=no window\n"), 1;
  char text[256];
  GetWindowTextA(window, text, sizeof text);
  std::printf("title=[%s]\n", text);
  std::printf("style=0x%08lx\nexstyle=0x%08lx\n",
              static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
  RECT client, outer;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  std::printf("client=%ld,%ld\nouter=%ld,%ld,%ld,%ld\n", client.right, client.bottom, outer.left, outer.top,
              outer.right, outer.bottom);
  std::printf("class_style=0x%08lx\n", static_cast<unsigned long>(GetClassLongA(window, GCL_STYLE)));
  return 0;
}

int print_box(const char* caption) {
  HWND box = FindWindowA("#32770", caption);
  if (!box) return std::printf("error=no box\n"), 1;
  char text[512];
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text control
  std::printf("text=[");
  for (const char* c = text; *c; ++c) {
    if (*c == '\n') {
      std::printf("\\n");
    } else {
      std::putchar(*c);
    }
  }
  std::printf("]\n");
  return 0;
}

int close_window() {
  HWND window = FindWindowA("OpenGL", nullptr);
  if (!window) return std::printf("error=no window\n"), 1;
  PostMessageA(window, WM_CLOSE, 0, 0);
  return 0;
}

double seconds_now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int play_sound(const char* file) {
  if (!FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS)) return std::printf("error=no sound device\n"), 1;
  FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, file, FSOUND_NORMAL, 0, 0);
  if (!sample) return std::printf("error=cannot load %s\n", file), 1;
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
  FSOUND_SetCurrentPosition(channel, 0);
  Sleep(2000);  // past the device's start, which plays slow for about a second under Wine
  const double start = seconds_now();
  const unsigned int first = FSOUND_GetCurrentPosition(channel);
  float loudest = 0.0f;
  while (seconds_now() - start < 3.0) {
    const float* bands = FSOUND_DSP_GetSpectrum();
    loudest = std::max(loudest, *std::max_element(bands, bands + 512));
    Sleep(20);
  }
  const unsigned int last = FSOUND_GetCurrentPosition(channel);
  const double elapsed = seconds_now() - start;
  std::printf("channel=%d\nfrequency=%d\n", channel, FSOUND_GetFrequency(channel));
  std::printf("rate=%.0f\nspectrum_peak=%g\n", (last - first) / elapsed, loudest);
  FSOUND_Close();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "template" && argc > 2) return print_template(argv[2]);
  if (command == "dialog") return print_dialog();
  if (command == "window") return print_window();
  if (command == "box" && argc > 2) return print_box(argv[2]);
  if (command == "close") return close_window();
  if (command == "sound" && argc > 2) return play_sound(argv[2]);
  std::fprintf(stderr, "usage: win_probe template EXE | dialog | window | box CAPTION | close | sound MP3\n");
  return 2;
}
