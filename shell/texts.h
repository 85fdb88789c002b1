#pragma once
// Fixed texts the user sees: window and dialog captions and the messages of window creation and
// teardown. Every backend shows exactly these.

namespace texts {

constexpr const char* window_title = " =       Vorteline | Quorl vs Vantry 2010 = ";
constexpr const char* dialog_caption = "     Vorteline | Quorl vs Vantry - 2010 ";

constexpr const char* error_caption = "ERROR";
constexpr const char* shutdown_caption = "SHUTDOWN ERROR";
constexpr const char* fullscreen_caption = "Quorl GL ;-)";

constexpr const char* register_class_failed = "Failed To Register The Window Class.";
constexpr const char* fullscreen_unsupported =
    "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?";
constexpr const char* program_will_close = "Program Will Now Close.";
constexpr const char* window_creation_error = "Window Creation Error.";
constexpr const char* device_context_failed = "Can't Create A GL Device Context.";
constexpr const char* pixel_format_not_found = "Can't Find A Suitable PixelFormat (1).";
constexpr const char* pixel_format_not_set = "Can't Set The PixelFormat(2).";
constexpr const char* rendering_context_failed = "Can't Create A GL Rendering Context.";
constexpr const char* rendering_context_not_activated = "Can't Activate The GL Rendering Context.";

constexpr const char* release_dc_rc_failed = "Release Of DC And RC Failed.";
constexpr const char* release_rc_failed = "Release Rendering Context Failed.";
constexpr const char* release_dc_failed = "Release Device Context Failed.";
constexpr const char* release_window_failed = "Could Not Release hWnd.";
constexpr const char* unregister_class_failed = "Could Not Unregister Class.";

}  // namespace texts
