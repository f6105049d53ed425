// Test support implementation.
#include "tests/support/harness.h"
#include <cstdio>
#include "platform/framework/app.h"
#include "platform/framework/dialog.h"

ScriptedResponder::ScriptedResponder() : m_previous(GetModalResponder()) { SetModalResponder(this); }
ScriptedResponder::~ScriptedResponder() {
  if (GetModalResponder() == this) SetModalResponder(m_previous);
}

int ScriptedResponder::OnMessageBox(const MessageBoxCall& call) {
  shown.push_back(call);
  if (whileShown) whileShown(call);
  if (!answers.empty()) {
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  return defaultAnswer;
}

int ScriptedResponder::OnDialog(CDialog& dialog) {
  dialogsShown.push_back(dialog.TemplateId());
  return onDialog ? onDialog(dialog) : IDCANCEL;
}

int ScriptedResponder::OnFileDialog(CFileDialog& dialog) {
  ++fileDialogs;
  return onFile ? onFile(dialog) : IDCANCEL;
}

int ScriptedResponder::OnCommonDialog(const char* kind, void* data) {
  return onCommon ? onCommon(kind, data) : IDCANCEL;
}

bool PumpMessages(int rounds) {
  MSG msg;
  CWinApp* app = AfxGetApp();
  for (int r = 0; r < rounds; ++r) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return false;
      if (!app || !app->PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    if (app) app->OnIdle(0);
  }
  return true;
}

namespace {
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = dir + "\\" + name;
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
      else DeleteFileA(full.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(dir.c_str());
}
}  // namespace

TempDir::TempDir() {
  char base[MAX_PATH];
  GetTempPathA(sizeof base, base);
  static int counter = 0;
  char name[MAX_PATH * 2];
  snprintf(name, sizeof name, "%srvtest_%lu_%d", base, GetCurrentProcessId(), ++counter);
  CreateDirectoryA(name, nullptr);
  char full[MAX_PATH * 2];
  GetFullPathNameA(name, sizeof full, full, nullptr);
  m_path = full;
}

TempDir::~TempDir() { RemoveTree(m_path); }

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(f);
  return ok && put == bytes.size();
}

std::string TextOf(HWND window) {
  int n = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(window, &text[0], n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

std::string ReadBytes(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::string();
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(f);
  return out;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> MenuItemTexts(HMENU menu) {
  std::vector<std::string> out;
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii);
    if (mii.fType & MFT_SEPARATOR) {
      out.push_back("-");
      continue;
    }
    char text[256] = "";
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    out.push_back(mii.hSubMenu ? std::string(">") + text : std::string(text));
  }
  return out;
}

std::vector<UINT> MenuItemIds(HMENU menu) {
  std::vector<UINT> out;
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) out.push_back(GetMenuItemID(menu, i));
  return out;
}
