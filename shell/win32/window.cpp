// The show window on Win32 with a WGL context: class "OpenGL", optional fullscreen display mode,
// the fixed pixel format, and a teardown that walks back through whatever exists.
#include <windows.h>

#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "runtime/gl_scene.h"
#include "runtime/platform.h"
#include "shell/texts.h"
#include "shell/win32/backend.h"

namespace {

constexpr const char* class_name = "OpenGL";

// The window class is registered: a teardown has something to undo. A second teardown (the
// entry's, after the show's end took the window down) finds nothing and reports nothing.
bool class_registered = false;

HWND window_handle() { return static_cast<HWND>(demo.hwnd); }
HDC device_context() { return static_cast<HDC>(demo.hdc); }

void report(const char* text, const char* caption, message_box_kind kind) {
  platform.message_box(text, caption, kind);
}

bool fail(const char* text) {
  kill_gl_window();
  report(text, texts::error_caption, message_box_kind::ok_exclamation);
  return false;
}

void report_shutdown(const char* text) {
  report(text, texts::shutdown_caption, message_box_kind::ok_information);
}

PIXELFORMATDESCRIPTOR requested_pixel_format() {
  PIXELFORMATDESCRIPTOR format{};
  format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 32;  // always 32, whatever the display mode's depth
  format.cAlphaBits = 1;
  format.cDepthBits = 24;
  format.cStencilBits = 0;
  format.cAccumBits = 0;
  format.cAuxBuffers = 0;
  format.iLayerType = PFD_MAIN_PLANE;
  return format;
}

}  // namespace

bool create_gl_window(const char* title, int width, int height, int bits, bool fullscreen) {
  demo.fullscreen = fullscreen;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  demo.hinstance = instance;

  WNDCLASSA window_class{};
  window_class.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  window_class.lpfnWndProc = show_window_procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.lpszClassName = class_name;
  if (!RegisterClassA(&window_class)) {
    report(texts::register_class_failed, texts::error_caption, message_box_kind::ok_exclamation);
    return false;
  }
  class_registered = true;

  if (demo.fullscreen) {
    DEVMODEA settings{};
    settings.dmSize = sizeof(settings);
    settings.dmPelsWidth = static_cast<DWORD>(width);
    settings.dmPelsHeight = static_cast<DWORD>(height);
    settings.dmBitsPerPel = static_cast<DWORD>(bits);
    settings.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&settings, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
      if (platform.message_box(texts::fullscreen_unsupported, texts::fullscreen_caption,
                               message_box_kind::yes_no_exclamation) == message_box_answer::yes) {
        demo.fullscreen = false;
      } else {
        report(texts::program_will_close, texts::error_caption, message_box_kind::ok_stop);
        return false;
      }
    }
  }

  const DWORD ex_style = WS_EX_APPWINDOW;
  DWORD style = WS_SYSMENU;  // neither popup nor child
  if (demo.fullscreen) {
    style = WS_POPUP;
    ShowCursor(FALSE);
  }
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, style, FALSE, ex_style);

  const int position = demo.fullscreen ? 0 : 50;
  demo.hwnd = CreateWindowExA(ex_style, class_name, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                              position, position, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                              nullptr, instance, nullptr);
  if (!demo.hwnd) return fail(texts::window_creation_error);

  demo.hdc = GetDC(window_handle());
  if (!demo.hdc) return fail(texts::device_context_failed);

  const PIXELFORMATDESCRIPTOR format = requested_pixel_format();
  const int pixel_format = ChoosePixelFormat(device_context(), &format);
  if (!pixel_format) return fail(texts::pixel_format_not_found);
  if (!SetPixelFormat(device_context(), pixel_format, &format)) return fail(texts::pixel_format_not_set);

  demo.hrc = wglCreateContext(device_context());
  if (!demo.hrc) return fail(texts::rendering_context_failed);
  if (!wglMakeCurrent(device_context(), static_cast<HGLRC>(demo.hrc))) {
    return fail(texts::rendering_context_not_activated);
  }

  ShowWindow(window_handle(), SW_SHOW);
  SetForegroundWindow(window_handle());
  SetFocus(window_handle());
  resize_gl_scene(width, height);
  global_render_context.device_context = demo.hdc;
  if (!init_gl()) {
    kill_gl_window();
    return false;
  }
  return true;
}

void kill_gl_window() {
  if (!class_registered) return;
  if (demo.fullscreen) {
    ChangeDisplaySettingsA(nullptr, 0);
    ShowCursor(TRUE);
  }
  if (demo.hrc) {
    if (!wglMakeCurrent(nullptr, nullptr)) report_shutdown(texts::release_dc_rc_failed);
    if (!wglDeleteContext(static_cast<HGLRC>(demo.hrc))) report_shutdown(texts::release_rc_failed);
    demo.hrc = nullptr;
  }
  if (demo.hdc) {
    if (!ReleaseDC(window_handle(), device_context())) report_shutdown(texts::release_dc_failed);
    demo.hdc = nullptr;  // released or lost: a second teardown must not try again
  }
  if (demo.hwnd) {
    if (!DestroyWindow(window_handle())) report_shutdown(texts::release_window_failed);
    demo.hwnd = nullptr;
  }
  if (!UnregisterClassA(class_name, static_cast<HINSTANCE>(demo.hinstance))) {
    report_shutdown(texts::unregister_class_failed);
    demo.hinstance = nullptr;
  }
  class_registered = false;
}
