// Main frame: settings, bars, window placement and the Help menu.
#include "app/mainfrm.h"
#include <shellapi.h>
#include <cstdio>
#include "app/myapp.h"
#include "app/settings_format.h"
#include "platform/framework/app.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"

namespace {
const char kSettings[] = "Settings";
const char kScriptDocsUrl[] = "https://learn.microsoft.com/ja-jp/previous-versions/windows/desktop/";

const UINT kToolbarButtons[] = {ID_FILE_NEW,     ID_FILE_OPEN,      ID_FILE_SAVE,      ID_SEPARATOR,
                                ID_EDIT_CUT,     ID_EDIT_COPY,      ID_EDIT_PASTE,     ID_EDIT_UNDO,
                                ID_EDIT_REDO,    ID_SEPARATOR,      ID_SCRIPT_RUN,     ID_SCRIPT_WSCRIPT,
                                ID_SCRIPT_CSCRIPT, ID_SEPARATOR,    ID_FILE_PRINT,     ID_SEPARATOR,
                                ID_APP_ABOUT};
const UINT kIndicators[] = {ID_SEPARATOR,     ID_INDICATOR_LINE, ID_INDICATOR_KANA,
                            ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

HFONT CreatePointFont(int points, const char* face) {
  HDC dc = GetDC(nullptr);
  int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(nullptr, dc);
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}
}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_DESTROY, OnDestroy)
  ON_COMMAND(ID_HELP_README, OnHelpReadme)
  ON_COMMAND(ID_HELP_SCRIPT_DOCS, OnHelpScriptDocs)
  ON_COMMAND(ID_HELP_ONLINE, OnHelpOnline)
  ON_UPDATE_COMMAND_UI(ID_HELP_ONLINE, OnUpdateHelpOnline)
  ON_COMMAND(ID_HELP_WSH_VERSION, OnHelpWshVersion)
  ON_UPDATE_COMMAND_UI(ID_HELP_WSH_VERSION, OnUpdateHelpWshVersion)
END_MESSAGE_MAP(CMDIFrameWnd)

CMainFrame::CMainFrame() { SetEditorSettings(this); }

CMainFrame::~CMainFrame() {
  if (GetEditorSettings() == this) SetEditorSettings(nullptr);
  if (m_font) DeleteObject(m_font);
}

std::string CMainFrame::ExecutableFolder() {
  return PathFolderWithSeparator(AfxGetApp() ? AfxGetApp()->GetModulePath() : std::string());
}

std::string CMainFrame::ReadmePath() {
  std::string exe = AfxGetApp() ? AfxGetApp()->GetModulePath() : std::string();
  size_t dot = PathExtensionDot(exe);
  return (dot == std::string::npos ? exe : exe.substr(0, dot)) + ".html";
}

std::string CMainFrame::VersionSamplePath() { return ExecutableFolder() + "sample\\version.wsf"; }

void ReportCannotOpen(const std::string& path, unsigned long error) {
  std::string pattern = LoadResString(IDP_CANNOT_OPEN);
  std::vector<char> text(pattern.size() + path.size() + 16);
  snprintf(text.data(), text.size(), pattern.c_str(), path.c_str(), error);
  AfxMessageBox(text.data(), MB_OK | MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------- creation

void CMainFrame::LoadWindowPlacement(CREATESTRUCTA& cs) {
  std::vector<unsigned char> bytes;
  PlacementRecord rec;
  if (!AfxGetApp()->GetProfileBinary(kSettings, "Window", bytes) || !DecodePlacement(bytes, rec)) return;
  WindowRect r{rec.left, rec.top, rec.right, rec.bottom};
  RECT stored{r.left, r.top, r.right, r.bottom};
  if (!MonitorFromRect(&stored, MONITOR_DEFAULTTONULL)) {
    // Off every monitor (one that was unplugged, a changed layout): onto the
    // work area of the nearest one.
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &mi))
      r = FitIntoArea(r, WindowRect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom});
  }
  cs.x = r.left;
  cs.y = r.top;
  cs.cx = static_cast<int>(static_cast<int64_t>(r.right) - r.left);  // DecodePlacement: it fits
  cs.cy = static_cast<int>(static_cast<int64_t>(r.bottom) - r.top);
  if (rec.showCmd == SW_SHOWMAXIMIZED) AfxGetApp()->m_nCmdShow = SW_SHOWMAXIMIZED;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!CMDIFrameWnd::PreCreateWindow(cs)) return FALSE;
  LoadWindowPlacement(cs);
  CWinApp* app = AfxGetApp();
  m_autoKanji = app->GetProfileInt(kSettings, "AutoKanji", 0) != 0;
  m_tabStops = static_cast<int>(app->GetProfileInt(kSettings, "TabStops", 4));
  m_autoIndent = app->GetProfileInt(kSettings, "AutoIndent", 1) != 0;
  m_stress = static_cast<int>(app->GetProfileInt(kSettings, "Stress", 1));
  m_directory = LimitBytes(app->GetProfileString(kSettings, "Directory", ""), MAX_PATH - 1);
  m_filterIndex = static_cast<int>(app->GetProfileInt(kSettings, "FilterIndex", 0));
  m_helpPath = LimitBytes(app->GetProfileString(kSettings, "HelpPath", ""), MAX_PATH - 1);
  m_macroLanguage = static_cast<int>(app->GetProfileInt(kSettings, "Language", 0));
  return TRUE;
}

void CMainFrame::LoadEditorFont() {
  CWinApp* app = AfxGetApp();
  std::string numbers = app->GetProfileString(kSettings, "Font", "");
  std::string face = app->GetProfileString(kSettings, "Font-Family", "");
  FontRecord rec;
  if (ParseFontNumbers(numbers, rec)) {
    LOGFONTA lf{};
    lf.lfHeight = rec.height;
    lf.lfWidth = rec.width;
    lf.lfEscapement = rec.escapement;
    lf.lfOrientation = rec.orientation;
    lf.lfWeight = rec.weight;
    lf.lfItalic = rec.italic;
    lf.lfUnderline = rec.underline;
    lf.lfStrikeOut = rec.strikeOut;
    lf.lfCharSet = rec.charSet;
    lf.lfOutPrecision = rec.outPrecision;
    lf.lfClipPrecision = rec.clipPrecision;
    lf.lfQuality = rec.quality;
    lf.lfPitchAndFamily = rec.pitchAndFamily;
    std::string limited = LimitFaceName(face);
    memcpy(lf.lfFaceName, limited.c_str(), limited.size() + 1);
    m_font = CreateFontIndirectA(&lf);
  }
  if (!m_font) m_font = CreatePointFont(14, "FixedSys");
}

void CMainFrame::SaveEditorFont() {
  LOGFONTA lf{};
  if (!m_font || !GetObjectA(m_font, sizeof lf, &lf)) return;
  FontRecord rec;
  rec.height = lf.lfHeight;
  rec.width = lf.lfWidth;
  rec.escapement = lf.lfEscapement;
  rec.orientation = lf.lfOrientation;
  rec.weight = lf.lfWeight;
  rec.italic = lf.lfItalic;
  rec.underline = lf.lfUnderline;
  rec.strikeOut = lf.lfStrikeOut;
  rec.charSet = lf.lfCharSet;
  rec.outPrecision = lf.lfOutPrecision;
  rec.clipPrecision = lf.lfClipPrecision;
  rec.quality = lf.lfQuality;
  rec.pitchAndFamily = lf.lfPitchAndFamily;
  CWinApp* app = AfxGetApp();
  app->WriteProfileString(kSettings, "Font", FormatFontNumbers(rec).c_str());
  app->WriteProfileString(kSettings, "Font-Family", LimitFaceName(lf.lfFaceName).c_str());
}

void CMainFrame::LoadColors() {
  CWinApp* app = AfxGetApp();
  uint32_t syntax[3] = {m_colors.keyword, m_colors.comment, m_colors.string};
  if (ParseColorList(app->GetProfileString(kSettings, "Colors", ""), syntax, 3)) {
    m_colors.keyword = syntax[0];
    m_colors.comment = syntax[1];
    m_colors.string = syntax[2];
  }
  uint32_t editor[2] = {m_colors.text, m_colors.background};
  if (ParseColorList(app->GetProfileString(kSettings, "Editor", ""), editor, 2)) {
    m_colors.text = editor[0];
    m_colors.background = editor[1];
  }
}

void CMainFrame::SaveColors() {
  CWinApp* app = AfxGetApp();
  const uint32_t syntax[3] = {m_colors.keyword, m_colors.comment, m_colors.string};
  app->WriteProfileString(kSettings, "Colors", FormatColorList(syntax, 3).c_str());
  const uint32_t editor[2] = {m_colors.text, m_colors.background};
  app->WriteProfileString(kSettings, "Editor", FormatColorList(editor, 2).c_str());
}

LRESULT CMainFrame::OnCreate(WPARAM wp, LPARAM lp) {
  if (CMDIFrameWnd::OnCreate(wp, lp) == -1) return -1;
  if (!m_wndToolBar.Create(this, ID_VIEW_TOOLBAR, IDR_MAINFRAME, kToolbarButtons,
                           static_cast<int>(sizeof kToolbarButtons / sizeof kToolbarButtons[0])))
    return -1;
  if (!m_wndStatusBar.Create(this, ID_VIEW_STATUS_BAR) ||
      !m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(sizeof kIndicators / sizeof kIndicators[0])))
    return -1;
  m_pStatusBar = &m_wndStatusBar;
  SetMessageText(AFX_IDS_IDLEMESSAGE);
  LoadEditorFont();
  LoadColors();
  std::string macro = ExecutableFolder() + "macro";
  if (GetFileAttributesA(macro.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryA(macro.c_str(), nullptr);
  RecalcLayout();
  return 0;
}

// ---------------------------------------------------------------- destruction

void CMainFrame::SaveWindowPlacement() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(m_hWnd, &wp)) return;
  PlacementRecord rec;
  rec.length = static_cast<int32_t>(wp.length);
  rec.flags = static_cast<int32_t>(wp.flags);
  rec.showCmd = static_cast<int32_t>(wp.showCmd);
  rec.minX = wp.ptMinPosition.x;
  rec.minY = wp.ptMinPosition.y;
  rec.maxX = wp.ptMaxPosition.x;
  rec.maxY = wp.ptMaxPosition.y;
  rec.left = wp.rcNormalPosition.left;
  rec.top = wp.rcNormalPosition.top;
  rec.right = wp.rcNormalPosition.right;
  rec.bottom = wp.rcNormalPosition.bottom;
  std::vector<uint8_t> bytes = EncodePlacement(rec);
  AfxGetApp()->WriteProfileBinary(kSettings, "Window", bytes.data(), bytes.size());
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM) {
  CWinApp* app = AfxGetApp();
  SaveWindowPlacement();
  app->WriteProfileInt(kSettings, "AutoKanji", m_autoKanji ? 1 : 0);
  app->WriteProfileInt(kSettings, "TabStops", m_tabStops);
  app->WriteProfileInt(kSettings, "AutoIndent", m_autoIndent ? 1 : 0);
  app->WriteProfileInt(kSettings, "Stress", m_stress);
  app->WriteProfileString(kSettings, "Directory", m_directory.c_str());
  app->WriteProfileInt(kSettings, "FilterIndex", m_filterIndex);
  app->WriteProfileString(kSettings, "HelpPath", m_helpPath.c_str());
  app->WriteProfileInt(kSettings, "Language", m_macroLanguage);
  SaveEditorFont();
  SaveColors();
  std::string bat = ExecutableFolder() + "__script.bat";
  if (GetFileAttributesA(bat.c_str()) != INVALID_FILE_ATTRIBUTES && !DeleteFileA(bat.c_str())) {
    std::string text = AfxFormatString1(AFX_IDP_FILE_ACCESS_DENIED, bat.c_str());
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
  }
  // The shared document menu must not go down with this window.
  if (m_hMenuDefault && GetMenu(m_hWnd) != m_hMenuDefault) SetMenu(m_hWnd, m_hMenuDefault);
  return Default();
}

// ---------------------------------------------------------------- Help menu

void CMainFrame::OnHelpReadme() {
  std::string path = ReadmePath();
  auto r = reinterpret_cast<INT_PTR>(ShellExecuteA(m_hWnd, "OPEN", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (r <= 32) ReportCannotOpen(path, GetLastError());
}

void CMainFrame::OnHelpScriptDocs() { ShellExecuteA(m_hWnd, "OPEN", kScriptDocsUrl, nullptr, nullptr, SW_SHOW); }

namespace {
HWND ShowHtmlHelpTopic(const char* path) {
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  static HMODULE hh = LoadLibraryA("hhctrl.ocx");
  auto fn = hh ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(hh, "HtmlHelpA"))) : nullptr;
  const UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
  return fn ? fn(nullptr, path, kDisplayTopic, 0) : nullptr;
}

// Whether the help system can take `path`: it expands environment strings in
// it and puts the system's help folder in front of a file it does not find,
// building each in a buffer of MAX_PATH characters (bytes, for the ANSI call).
bool HelpSystemTakes(const std::string& path) {
  char expanded[MAX_PATH * 4];
  DWORD n = ExpandEnvironmentStringsA(path.c_str(), expanded, sizeof expanded);
  char windows[MAX_PATH];
  UINT w = GetWindowsDirectoryA(windows, sizeof windows);
  const size_t kHelpFolder = sizeof "\\help\\" - 1;
  if (n == 0 || n > sizeof expanded || w == 0 || w >= sizeof windows) return false;
  return w + kHelpFolder + strlen(expanded) < MAX_PATH;
}
}  // namespace

CMainFrame::HelpTopicViewer CMainFrame::s_showHelpTopic = &ShowHtmlHelpTopic;

void CMainFrame::OnHelpOnline() {
  if (!HelpSystemTakes(m_helpPath)) {
    ReportCannotOpen(m_helpPath, ERROR_FILENAME_EXCED_RANGE);
    return;
  }
  SetLastError(0);
  if (!s_showHelpTopic(m_helpPath.c_str())) {
    DWORD err = GetLastError();
    if (!err && GetFileAttributesA(m_helpPath.c_str()) == INVALID_FILE_ATTRIBUTES) err = GetLastError();
    ReportCannotOpen(m_helpPath, err);
  }
}

void CMainFrame::OnUpdateHelpOnline(CCmdUI* ui) { ui->Enable(!m_helpPath.empty()); }

void CMainFrame::OnHelpWshVersion() {
  std::string path = VersionSamplePath();
  auto r = reinterpret_cast<INT_PTR>(ShellExecuteA(m_hWnd, "OPEN", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (r <= 32) ReportCannotOpen(path, GetLastError());
}

void CMainFrame::OnUpdateHelpWshVersion(CCmdUI* ui) {
  ui->Enable(GetFileAttributesA(VersionSamplePath().c_str()) != INVALID_FILE_ATTRIBUTES);
}
