// Test support for in-process tests of real windows: a responder that answers
// every message box and dialog, message pumping, temporary folders and files.
#pragma once
#include <windows.h>
#include <deque>
#include <functional>
#include <string>
#include <vector>
#include "platform/framework/modal.h"

class ScriptedResponder : public ModalResponder {
 public:
  ScriptedResponder();
  ~ScriptedResponder() override;

  // Message boxes: answered from the queue, then with `defaultAnswer`.
  std::deque<int> answers;
  int defaultAnswer = IDOK;
  std::vector<MessageBoxCall> shown;
  // Called with each message box while it would be on the screen.
  std::function<void(const MessageBoxCall&)> whileShown;
  std::function<int(CDialog&)> onDialog;
  std::function<int(CFileDialog&)> onFile;
  std::function<int(const char*, void*)> onCommon;
  // Set: common dialogs run for real and this drives them (see DrivesLive).
  std::function<int(const char*, HWND)> onLive;
  std::vector<UINT> dialogsShown;  // template ids
  // Shortcut menus: where each was shown; `onMenu` picks a command (none: 0).
  std::vector<POINT> menusShown;
  std::function<UINT(HMENU, POINT)> onMenu;
  UINT OnPopupMenu(HMENU menu, POINT at) override {
    menusShown.push_back(at);
    return onMenu ? onMenu(menu, at) : 0;
  }
  int fileDialogs = 0;

  int OnMessageBox(const MessageBoxCall& call) override;
  int OnDialog(CDialog& dialog) override;
  int OnFileDialog(CFileDialog& dialog) override;
  int OnCommonDialog(const char* kind, void* data) override;
  bool DrivesLive(const char* kind) override { return static_cast<bool>(onLive); }
  int OnLiveDialog(const char* kind, HWND dialog) override { return onLive(kind, dialog); }

 private:
  ModalResponder* m_previous;
};

// Dispatches pending messages (with the application's accelerators and idle
// step when an application exists). Returns false when WM_QUIT was taken.
bool PumpMessages(int rounds = 3);

// A fresh folder under the Windows temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

 private:
  std::string m_path;
};

bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
// A window's whole text (an edit control's, a title).
std::string TextOf(HWND window);
bool FileExists(const std::string& path);
// The menu item texts of a pop-up, "-" for separators, ">text" for pop-ups.
std::vector<std::string> MenuItemTexts(HMENU menu);
std::vector<UINT> MenuItemIds(HMENU menu);
