// The window wrapper at its boundaries: frames that destroy themselves inside
// one of their own messages, and exceptions that reach a window procedure or a
// dialog procedure.
#include <gtest/gtest.h>
#include <malloc.h>
#include <cstdlib>
#include <new>
#include "platform/framework/app.h"
#include "platform/framework/archive.h"
#include "platform/framework/dialog.h"
#include "platform/framework/doc.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/frame.h"
#include "platform/framework/fwids.h"
#include "platform/framework/view.h"
#include "tests/support/harness.h"

// ---------------------------------------------------------------- quarantine
// While armed, freed blocks are filled with a pattern and kept instead of being
// returned; any byte that changes afterwards was written after its free.
namespace {
constexpr unsigned char kFreed = 0xDD;
constexpr int kHeld = 8192;
bool g_armed = false;
void* g_held[kHeld];
int g_heldCount = 0;

void Release(void* p) {
  if (!p) return;
  if (g_armed && g_heldCount < kHeld) {
    memset(p, kFreed, _msize(p));
    g_held[g_heldCount++] = p;
    return;
  }
  free(p);
}

struct Quarantine {
  Quarantine() { g_armed = true; }
  ~Quarantine() {
    g_armed = false;
    for (int i = 0; i < g_heldCount; ++i) free(g_held[i]);
    g_heldCount = 0;
  }
  // Freed blocks with at least one byte written after the free.
  int Overwritten() const {
    int n = 0;
    for (int i = 0; i < g_heldCount; ++i) {
      auto* b = static_cast<unsigned char*>(g_held[i]);
      size_t size = _msize(b);
      for (size_t k = 0; k < size; ++k) {
        if (b[k] != kFreed) {
          ++n;
          break;
        }
      }
    }
    return n;
  }
};
}  // namespace

void* operator new(size_t n) {
  void* p = malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

// ---------------------------------------------------------------- lifetime

namespace {
int g_childrenDeleted = 0;
int g_mainDeleted = 0;

class CountedChild : public CMDIChildWnd {
 public:
  ~CountedChild() override { ++g_childrenDeleted; }
};
class CountedMain : public CMDIFrameWnd {
 public:
  ~CountedMain() override { ++g_mainDeleted; }
};

void DropQuit() {
  MSG m;
  while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}
}  // namespace

TEST(WindowLifetime, FramesClosedByTheirOwnMessageAreDeletedAfterItReturns) {
  ScriptedResponder ui;
  CWinApp app;
  auto* main = new CountedMain;
  ASSERT_TRUE(main->LoadFrame(128, WS_OVERLAPPEDWINDOW, nullptr));
  app.m_pMainWnd = main;
  auto* docs = new CDocTemplate(
      129, [] { return new CDocument; }, [] { return static_cast<CMDIChildWnd*>(new CountedChild); },
      [] { return static_cast<CView*>(new CPlaceholderView); });
  app.AddDocTemplate(docs);
  ASSERT_NE(docs->OpenDocumentFile(nullptr), nullptr);
  ASSERT_NE(docs->OpenDocumentFile(nullptr), nullptr);
  CMDIChildWnd* child = main->MDIGetActive();
  ASSERT_NE(child, nullptr);
  HWND mainWnd = main->m_hWnd;
  g_childrenDeleted = g_mainDeleted = 0;
  {
    Quarantine freed;
    // The child's close box: the document closes and takes its frame along.
    ::SendMessageA(child->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(g_childrenDeleted, 1);
    EXPECT_EQ(app.GetOpenDocumentCount(), 1);
    EXPECT_EQ(freed.Overwritten(), 0);
    // The main window closes the other document and itself from WM_CLOSE,
    // sent from inside one of its own commands as the exit command does.
    ::SendMessageA(mainWnd, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(g_childrenDeleted, 2);
    EXPECT_EQ(g_mainDeleted, 1);
    EXPECT_FALSE(IsWindow(mainWnd));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(freed.Overwritten(), 0);
  }
  DropQuit();
  EXPECT_TRUE(ui.shown.empty());
}

// ---------------------------------------------------------------- exceptions

namespace {
enum class Throw { Nothing, User, File, Memory, Other };

void Raise(Throw what) {
  switch (what) {
    case Throw::Nothing: return;
    case Throw::User: throw CUserException{};
    case Throw::File: throw CFileException{CFileException::AccessDenied, ERROR_ACCESS_DENIED, "c:\\x\\locked.js"};
    case Throw::Memory: throw CMemoryException{};
    case Throw::Other: throw 42;
  }
}

const UINT WM_RAISE = WM_APP + 1;

class RaisingWnd : public CWnd {
 public:
  Throw what = Throw::Nothing;
  LRESULT OnRaise(WPARAM, LPARAM) {
    Raise(what);
    return 1;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RaisingWnd, CWnd)
  ON_MESSAGE(WM_RAISE, OnRaise)
END_MESSAGE_MAP(CWnd)

class RaisingDialog : public CDialog {
 public:
  Throw onInit = Throw::Nothing;
  Throw onOk = Throw::Nothing;
  RaisingDialog() : CDialog(100) {}
  BOOL OnInitDialog() override {
    Raise(onInit);
    return CDialog::OnInitDialog();
  }
  void OnOK() override {
    Raise(onOk);
    CDialog::OnOK();
  }
};

// What the user was shown for each kind of exception, in order.
struct Case {
  Throw what;
  const char* shown;  // null: nothing
};
const Case kCases[] = {{Throw::User, nullptr},
                       {Throw::File, "c:\\x\\locked.js にアクセスできません。"},
                       {Throw::Memory, "メモリが不足しています。"},
                       {Throw::Other, "内部エラーが発生しました。"}};
}  // namespace

TEST(EscapedExceptions, AWindowProcedureStopsEveryKindAndReportsIt) {
  RaisingWnd wnd;
  const char* cls = CWnd::RegisterWndClass("RvTestRaising", 0, nullptr, nullptr);
  ASSERT_TRUE(wnd.CreateEx(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  for (const Case& c : kCases) {
    ScriptedResponder ui;
    wnd.what = c.what;
    ::SendMessageA(wnd.m_hWnd, WM_RAISE, 0, 0);
    if (c.shown) {
      ASSERT_EQ(ui.shown.size(), 1u);
      EXPECT_EQ(ui.shown[0].text, c.shown);
    } else {
      EXPECT_TRUE(ui.shown.empty());
    }
  }
  wnd.what = Throw::Nothing;
  EXPECT_EQ(::SendMessageA(wnd.m_hWnd, WM_RAISE, 0, 0), 1);  // still alive and answering
  wnd.DestroyWindow();
}

TEST(EscapedExceptions, ADialogProcedureStopsEveryKindAndReportsIt) {
  for (const Case& c : kCases) {
    for (bool inInit : {true, false}) {
      SCOPED_TRACE(testing::Message() << static_cast<int>(c.what) << (inInit ? " init" : " ok"));
      ScriptedResponder ui;
      ui.onDialog = [](CDialog&) { return IDOK; };
      RaisingDialog dlg;
      (inInit ? dlg.onInit : dlg.onOk) = c.what;
      INT_PTR result = dlg.DoModal();
      if (!inInit) {
        EXPECT_EQ(result, IDCANCEL);  // OK never got through
      }
      if (c.shown) {
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, c.shown);
      } else {
        EXPECT_TRUE(ui.shown.empty());
      }
    }
  }
}
