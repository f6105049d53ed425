// The one seam through which every message box, modal dialog and common dialog
// passes. In the program nothing is installed and the real system UI is shown;
// a test installs a responder that sees what would be shown and answers it, so
// that no test ever blocks.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <string>
#include <vector>

class CDialog;
class CFileDialog;

struct MessageBoxCall {
  std::string text;
  std::string caption;
  UINT type = 0;
};

class ModalResponder {
 public:
  virtual ~ModalResponder() = default;
  // Returns the button the user pressed (IDOK, IDYES, ...).
  virtual int OnMessageBox(const MessageBoxCall& call) = 0;
  // The dialog exists (hidden) and has run its initialisation. Returns the id
  // of the button to press; the dialog's own handling of that button decides
  // whether it closes (validation may keep it open, which counts as cancel).
  virtual int OnDialog(CDialog& dialog) = 0;
  // The file dialog's OPENFILENAME is filled in; the responder may write the
  // chosen path (and filter index) into it. Returns IDOK or IDCANCEL.
  virtual int OnFileDialog(CFileDialog& dialog) = 0;
  // Other common dialogs (print set-up, font, colour): `kind` names it, `data`
  // points at its system structure. Returns IDOK or IDCANCEL.
  virtual int OnCommonDialog(const char* kind, void* data) = 0;
  // A responder that drives the common dialog `kind` live: the real dialog
  // runs, and once its message loop runs, OnLiveDialog gets its handle, works
  // its controls and returns the button to press (0 presses none).
  virtual bool DrivesLive(const char* kind) { return false; }
  virtual int OnLiveDialog(const char* kind, HWND dialog) { return IDCANCEL; }
  // A shortcut menu tracked at the screen point `at`. Returns the command the
  // user chose, 0 for none (the menu dismissed).
  virtual UINT OnPopupMenu(HMENU menu, POINT at) { return 0; }
};

void SetModalResponder(ModalResponder* responder);
ModalResponder* GetModalResponder();

// While set, each message box is also handed to `echo` before it shows (a
// print request from the command line writes its boxes to the standard error).
using MessageBoxEcho = void (*)(const MessageBoxCall& call);
void SetMessageBoxEcho(MessageBoxEcho echo);

// Message boxes captioned with the application's name.
int AfxMessageBox(const char* text, UINT type = MB_OK, HWND owner = nullptr);
int AfxMessageBox(UINT promptId, UINT type = MB_OK);
// Which windows wait: while it lives, the thread's other visible top-level
// windows but `keep` and those kept enabled (KeepEnabled) are disabled (a
// modeless Find included, which disabling the main window leaves enabled), and
// those it disabled are enabled again when it goes: what a task-modal box
// does, for a box, a print job under way, the print preview or a macro run.
class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(HWND keep);
  ~OtherWindowsDisabled();
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND h, LPARAM self);
  HWND m_keep;
  std::vector<HWND> m_disabled;
};

// While it lives, `window` stays enabled through every OtherWindowsDisabled
// and never owns a box: a window that lets the user end what the others wait
// for (the "マクロ実行中" window, usable while a macro's question shows).
class KeepEnabled {
 public:
  explicit KeepEnabled(HWND window);
  ~KeepEnabled();
  KeepEnabled(const KeepEnabled&) = delete;
  KeepEnabled& operator=(const KeepEnabled&) = delete;
  static bool Contains(HWND window);

 private:
  HWND m_window;
};

// Runs a common dialog through the seam: PrintDlgA ("print"), ChooseFontA
// ("font"), ChooseColorA ("color"), the folder picker ("folder": a BROWSEINFOA
// whose pszDisplayName, MAX_PATH bytes, receives the chosen folder's full
// path). Returns TRUE when confirmed.
BOOL AfxRunCommonDialog(const char* kind, void* data);
// Called by a live common dialog's hook once its message loop runs: hands the
// dialog to a responder that drives it live and presses the button it names.
void AfxLiveDialogReady(const char* kind, HWND dialog);
// Tracks a shortcut menu at the screen point `at` (TrackPopupMenu `flags`); the
// chosen command reaches `owner` as WM_COMMAND, as from the system's menu.
void AfxTrackPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner);
