// The settings dialog on Win32: the modal dialog built from resource 101 and the display modes.
#include "shell/dialog.h"

#include <windows.h>

#include <string>

#include "runtime/demo_state.h"
#include "shell/display_modes.h"
#include "shell/win32/resource.h"

namespace {

bool is_checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void fill_mode_list(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_MODES);
  for (const display_mode& mode : demo.display_modes) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(display_mode_label(mode).c_str()));
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(preselected_display_mode(demo.display_modes)), 0);
}

INT_PTR CALLBACK settings_dialog_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      // Antialiased and Force 16:9 start on; Windowed starts off (fullscreen is the default).
      CheckDlgButton(dialog, IDC_ANTIALIASED, BST_CHECKED);
      CheckDlgButton(dialog, IDC_FORCE_16_9, BST_CHECKED);
      if (demo.modes_pending) {
        fill_mode_list(dialog);
        demo.modes_pending = false;
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        dialog_choice choice;
        choice.antialiased = is_checked(dialog, IDC_ANTIALIASED);
        choice.windowed = is_checked(dialog, IDC_WINDOWED);
        choice.force_16_9 = is_checked(dialog, IDC_FORCE_16_9);
        const LRESULT selected = SendDlgItemMessageA(dialog, IDC_MODES, CB_GETCURSEL, 0, 0);
        choice.mode_index = selected == CB_ERR ? 0 : static_cast<int>(selected);
        apply_dialog_choice(demo, choice);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void enumerate_display_modes() {
  demo.display_modes.clear();
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  for (DWORD index = 0; EnumDisplaySettingsA(nullptr, index, &mode); ++index) {
    add_display_mode(demo.display_modes, static_cast<int>(mode.dmPelsWidth),
                     static_cast<int>(mode.dmPelsHeight));
  }
  // A driver that offers no acceptable mode still leaves one entry: the desktop's size.
  ensure_display_mode(demo.display_modes, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

dialog_outcome run_settings_dialog() {
  const INT_PTR result =
      DialogBoxParamA(static_cast<HINSTANCE>(demo.hinstance), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                      settings_dialog_procedure, 0);
  if (result == IDCANCEL) return dialog_outcome::quit;
  if (result == 0 || result == -1) {
    // The dialog could not be made: the preselected settings stand, as if "Run ... " had been
    // pressed, and the viewer is told why.
    const DWORD code = GetLastError();
    char reason[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, reason,
                   sizeof reason, nullptr);
    dialog_choice choice;
    choice.mode_index = preselected_display_mode(demo.display_modes);
    apply_dialog_choice(demo, choice);
    std::string text = reason;
    text.erase(text.find_last_not_of("\r\n .") + 1);  // the system's text ends in ".\r\n"
    report_no_dialog("error " + std::to_string(code) + (text.empty() ? "" : ": " + text), demo);
  }
  return dialog_outcome::run;
}
