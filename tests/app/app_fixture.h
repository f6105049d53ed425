// Starts the real application object in this process, as if the program were
// installed in a fresh temporary folder, and ends it through its exit command.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include "app/mainfrm.h"
#include "app/myapp.h"
#include "platform/framework/doc.h"
#include "platform/framework/fwids.h"
#include "platform/framework/view.h"
#include "resources/resource.h"
#include "tests/support/harness.h"

class AppFixture : public ::testing::Test {
 protected:
  TempDir dir;
  ScriptedResponder ui;
  std::unique_ptr<CMyApp> app;

  std::string ExePath() const { return dir / "ruvelto.exe"; }
  std::string IniPath() const { return dir / "ruvelto.ini"; }

  bool Start(const std::vector<std::string>& args = {}) {
    // The user's local application-data folder, where the backups live.
    SetEnvironmentVariableA("LOCALAPPDATA", dir.path().c_str());
    app = std::make_unique<CMyApp>();
    app->m_modulePathOverride = ExePath();
    app->m_args = args;
    app->m_nCmdShow = SW_SHOWNORMAL;
    bool ok = app->InitInstance() != FALSE;
    PumpMessages();
    return ok;
  }

  // The exit command, then the message loop's end and the exit step.
  void Exit() {
    if (app->m_pMainWnd) {
      HWND main = app->m_pMainWnd->m_hWnd;
      ::SendMessageA(main, WM_COMMAND, ID_APP_EXIT, 0);
    }
    while (PumpMessages(1)) {
      if (!app->m_pMainWnd) {
        PumpMessages(1);
        break;
      }
    }
    app->ExitInstance();
  }

  void TearDown() override {
    if (app) {
      ui.answers.clear();
      ui.defaultAnswer = IDNO;
      if (app->m_pMainWnd) Exit();
      app.reset();
    }
  }

  CMainFrame* Frame() const { return app ? dynamic_cast<CMainFrame*>(app->m_pMainWnd) : nullptr; }
  CSettingsStore& Settings() const { return app->m_settings; }
  std::vector<CDocument*> Docs() const { return app->GetOpenDocuments(); }
  std::vector<std::string> Titles() const {
    std::vector<std::string> t;
    for (CDocument* d : Docs()) t.push_back(d->GetTitle());
    return t;
  }
  void Command(UINT id) {
    ::SendMessageA(app->m_pMainWnd->m_hWnd, WM_COMMAND, id, 0);
    PumpMessages();
  }
  // The active window's view as a T, or null.
  template <typename T>
  T* ActiveViewAs() const {
    CMDIChildWnd* child = Frame()->MDIGetActive();
    return child ? dynamic_cast<T*>(static_cast<CView*>(child->GetActiveView())) : nullptr;
  }
  // The same after opening a new document when no window is open.
  template <typename T>
  T* ViewOfActiveOrNewWindow() {
    if (!Frame()->MDIGetActive()) Command(ID_FILE_NEW);
    return ActiveViewAs<T>();
  }
  std::string Ini(const char* section, const char* key) const {
    char buf[4096];
    GetPrivateProfileStringA(section, key, "<absent>", buf, sizeof buf, IniPath().c_str());
    return buf;
  }
  void SetIni(const char* section, const char* key, const char* value) const {
    WritePrivateProfileStringA(section, key, value, IniPath().c_str());
  }
};

// The application started, with the view of its active (or a new) window as
// a T. A derived fixture's SetUp calls this one first and stops when it failed.
template <typename T>
class ViewFixture : public AppFixture {
 protected:
  T* view = nullptr;
  void SetUp() override {
    ASSERT_TRUE(Start());
    view = ViewOfActiveOrNewWindow<T>();
    ASSERT_NE(view, nullptr);
  }
};
