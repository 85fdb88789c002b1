// The working folder on Windows: the folder the program was started in, the data folders in it,
// the folder of the program file (GetModuleFileNameW) and the change to it.
#include "shell/start_folder.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "shell/win32/backend.h"

namespace {

std::string utf8_of(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string result(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
  }
  return result;
}

std::wstring wide_of(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(size > 0 ? size : 0, L'\0');
  if (size > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

std::wstring current_folder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  const DWORD written = GetCurrentDirectoryW(size, folder.data());
  if (written == 0 || written >= size) return {};
  folder.resize(written);
  return folder;
}

bool holds_show_data(const std::wstring& folder) {
  for (const char* name : show_data_folders) {
    const DWORD attributes = GetFileAttributesW((folder + L"\\" + wide_of(name)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  }
  return true;
}

// The folder of the program file, "" when it cannot be told.
std::wstring program_folder() {
  std::wstring file(MAX_PATH, L'\0');
  for (;;) {
    const DWORD written = GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
    if (written == 0) return {};
    if (written < file.size()) {
      file.resize(written);
      break;
    }
    if (file.size() >= 32768) return {};  // longer than any path Windows allows
    file.resize(file.size() * 2);
  }
  const size_t slash = file.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash + 1);
}

std::string reason_of(DWORD code) {
  char* text = nullptr;
  const DWORD size = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = size > 0 && text ? std::string(text, size) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason;
}

}  // namespace

void enter_start_folder() {
  const std::wstring start = current_folder();
  // Without its working folder the program cannot tell where it is; it goes on as it is.
  if (start.empty()) return;
  const start_folder_plan plan = plan_start_folder({}, utf8_of(start), holds_show_data(start),
                                                   utf8_of(program_folder()), path_style::windows);
  if (!plan.change) return;
  if (!SetCurrentDirectoryW(wide_of(plan.folder).c_str())) {
    std::fprintf(stderr, "vorteline: cannot change to the program's folder %s: %s\n", plan.folder.c_str(),
                 reason_of(GetLastError()).c_str());
  }
}
