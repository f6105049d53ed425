// Main frame: settings, bars, window placement and the Help menu.
#include "app/mainfrm.h"
#include <shellapi.h>
#include <cstdio>
#include "app/myapp.h"
#include "app/output_window.h"
#include "app/settings_format.h"
#include "dialogs/colorfontdlg.h"
#include "dialogs/optionsdlg.h"
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "hosting/console_wrapper.h"
#include "hosting/script_commands.h"
#include "views/findreplace.h"
#include "views/myeditview.h"
#include "views/myview.h"

namespace {
const char kSettings[] = "Settings";
const UINT kCheckFilesMessage = WM_APP + 0x41;
const char kScriptDocsUrl[] = "https://learn.microsoft.com/ja-jp/previous-versions/windows/desktop/";

const UINT kToolbarButtons[] = {ID_FILE_NEW,     ID_FILE_OPEN,      ID_FILE_SAVE,      ID_SEPARATOR,
                                ID_EDIT_CUT,     ID_EDIT_COPY,      ID_EDIT_PASTE,     ID_EDIT_UNDO,
                                ID_EDIT_REDO,    ID_SEPARATOR,      ID_SCRIPT_RUN,     ID_SCRIPT_WSCRIPT,
                                ID_SCRIPT_CSCRIPT, ID_SEPARATOR,    ID_FILE_PRINT,     ID_SEPARATOR,
                                ID_APP_ABOUT};
const UINT kIndicators[] = {ID_SEPARATOR,     ID_INDICATOR_LINE, ID_INDICATOR_KANA,
                            ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

LOGFONTA PointFont(int points, const char* face) {
  HDC dc = GetDC(nullptr);
  LOGFONTA lf{};
  lf.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(nullptr, dc);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return lf;
}
}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_DESTROY, OnDestroy)
  ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
  ON_MESSAGE(kCheckFilesMessage, OnCheckFiles)
  ON_COMMAND(ID_HELP_README, OnHelpReadme)
  ON_COMMAND(ID_HELP_SCRIPT_DOCS, OnHelpScriptDocs)
  ON_COMMAND(ID_HELP_ONLINE, OnHelpOnline)
  ON_UPDATE_COMMAND_UI(ID_HELP_ONLINE, OnUpdateHelpOnline)
  ON_COMMAND(ID_HELP_WSH_VERSION, OnHelpWshVersion)
  ON_UPDATE_COMMAND_UI(ID_HELP_WSH_VERSION, OnUpdateHelpWshVersion)
  ON_COMMAND(ID_VIEW_OPTIONS, OnViewOptions)
  ON_COMMAND(ID_VIEW_FONT, OnViewFont)
  ON_MESSAGE(WM_INITMENU, OnInitMenu)
  ON_MESSAGE(WM_INITMENUPOPUP, OnInitMacroPopup)
  ON_COMMAND_RANGE(ID_MACRO_JSCRIPT, ID_MACRO_JSCRIPT, OnMacroLanguage)
  ON_COMMAND_RANGE(ID_MACRO_VBSCRIPT, ID_MACRO_VBSCRIPT, OnMacroLanguage)
  ON_UPDATE_COMMAND_UI(ID_MACRO_JSCRIPT, OnUpdateMacroLanguage)
  ON_UPDATE_COMMAND_UI(ID_MACRO_VBSCRIPT, OnUpdateMacroLanguage)
  ON_COMMAND(ID_EDIT_FIND_IN_FILES, OnFindInFiles)
  ON_MESSAGE(CMainFrame::kFindInFilesMessage, OnFindInFilesResults)
  ON_COMMAND(ID_NEXT_RESULT, OnNextResult)
  ON_COMMAND(ID_PREV_RESULT, OnPrevResult)
  ON_COMMAND(ID_SCRIPT_CAPTURE, OnCaptureRun)
  ON_UPDATE_COMMAND_UI(ID_SCRIPT_CAPTURE, OnUpdateCaptureRun)
  ON_COMMAND(ID_SCRIPT_STOP, OnStopRun)
  ON_UPDATE_COMMAND_UI(ID_SCRIPT_STOP, OnUpdateStopRun)
  ON_MESSAGE(CMainFrame::kCapturedRunMessage, OnCapturedRunOutput)
  ON_COMMAND(ID_MACRO_ORGANIZE, OnMacroOrganize)
  ON_UPDATE_COMMAND_UI(ID_MACRO_ORGANIZE, OnUpdateMacroOrganize)
  ON_COMMAND(ID_SCRIPT_CHECK, OnScriptCheck)
  ON_UPDATE_COMMAND_UI(ID_SCRIPT_CHECK, OnUpdateScriptCheck)
  ON_COMMAND(ID_SCRIPT_CHECK_TYPING, OnCheckAsYouType)
  ON_UPDATE_COMMAND_UI(ID_SCRIPT_CHECK_TYPING, OnUpdateCheckAsYouType)
  ON_MESSAGE(WM_TIMER, OnCheckTimer)
  ON_MESSAGE(CMainFrame::kCheckAnswerMessage, OnCheckAnswer)
END_MESSAGE_MAP(CMDIFrameWnd)

CMainFrame::CMainFrame(CSettingsStore& settings, int& openMode)
    : m_macros(settings.m_macroLanguage, ExecutableFolder()), m_settings(settings), m_openMode(openMode) {}

CMainFrame::~CMainFrame() {
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

// ---------------------------------------------------------------- settings

namespace {
// The section "Settings" of the application's settings file.
class SettingsSection : public SettingsProfile {
 public:
  explicit SettingsSection(CWinApp& app) : m_app(app) {}
  int GetInt(const char* key, int def) const override { return static_cast<int>(m_app.GetProfileInt(kSettings, key, def)); }
  std::string GetString(const char* key) const override { return m_app.GetProfileString(kSettings, key, ""); }
  void WriteInt(const char* key, int value) override { m_app.WriteProfileInt(kSettings, key, value); }
  void WriteString(const char* key, const std::string& value) override {
    m_app.WriteProfileString(kSettings, key, value.c_str());
  }

 private:
  CWinApp& m_app;
};

LOGFONTA LogFontOf(const FontRecord& rec) {
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
  std::string face = LimitFaceName(rec.faceName);
  memcpy(lf.lfFaceName, face.c_str(), face.size() + 1);
  return lf;
}

FontRecord FontRecordOf(const LOGFONTA& lf) {
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
  rec.faceName = LimitFaceName(lf.lfFaceName);
  return rec;
}
}  // namespace

void CMainFrame::SetEditorFont(const LOGFONTA& font) {
  HFONT made = CreateFontIndirectA(&font);
  if (!made) return;
  // The 出力 window draws with the editor font too: it takes the new one before the old one goes.
  if (COutputWnd* output = COutputWnd::Find(this))
    ::SendMessageA(output->TextWindow(), WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
  if (m_font) DeleteObject(m_font);
  m_font = made;
  LOGFONTA actual{};
  GetObjectA(m_font, sizeof actual, &actual);
  m_settings.m_font = FontRecordOf(actual);
  m_settings.m_hasFont = true;
}

// ---------------------------------------------------------------- creation

void CMainFrame::PlaceFromSettings(CREATESTRUCTA& cs) {
  if (!m_settings.m_hasWindow) return;
  const PlacementRecord& rec = m_settings.m_window;
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
  m_settings.ReadPlacementAndOptions(SettingsSection(*AfxGetApp()));
  PlaceFromSettings(cs);
  return TRUE;
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
  m_settings.ReadFontAndColors(SettingsSection(*AfxGetApp()));
  if (m_settings.m_hasFont) SetEditorFont(LogFontOf(m_settings.m_font));
  if (!m_font) SetEditorFont(PointFont(14, "FixedSys"));
  std::string macro = ExecutableFolder() + "macro";
  if (GetFileAttributesA(macro.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryA(macro.c_str(), nullptr);
  m_macros.SetSite(m_hWnd);
  m_findInFiles.Load(*AfxGetApp());
  m_tabHook.Attach(this, TCS_BOTTOM | TCS_MULTILINE | TCS_HOTTRACK);  // the frame goes on without it on failure
  RecalcLayout();
  return 0;
}

ViewServices CMainFrame::Services() {
  ViewServices services;
  services.settings = [this] {
    ViewSettings v;
    v.font = m_font;
    v.colors = m_settings.m_colors;
    v.tabStops = m_settings.m_tabStops;
    v.autoIndent = m_settings.m_autoIndent;
    v.stress = m_settings.m_stress;
    return v;
  };
  services.addMacro = [this](CMyView& view) { m_macros.AddFromView(view); };
  services.scriptCommandEnabled = &IsScriptCommandEnabled;
  services.scriptCommand = [](UINT id, CDocument& doc, const CMyEditView& view, bool utf8) {
    if (id == ID_SCRIPT_ENCODE) EncodeScriptCommand(doc, view.GetText(), utf8);
    else RunScriptCommand(id, doc);
  };
  if (!m_findState) m_findState = std::make_shared<FindReplaceState>();
  services.find = m_findState;
  services.textChanged = [this](CMyEditView&) { OnViewTextChanged(); };
  return services;
}

// ---------------------------------------------------------------- View menu

void CMainFrame::OnViewOptions() {
  COptionsDlg dlg(this);
  dlg.m_nStress = m_settings.m_stress;
  dlg.m_nTabStops = m_settings.m_tabStops;
  dlg.m_bAutoIndent = m_settings.m_autoIndent;
  dlg.m_bAutoKanji = m_settings.m_autoKanji;
  dlg.m_nFilterIndex = m_settings.m_filterIndex;
  dlg.m_strHelpPath = m_settings.m_helpPath;
  dlg.m_nOpenMode = m_openMode;
  if (dlg.DoModal() != IDOK) return;
  m_settings.m_stress = dlg.m_nStress;
  m_settings.m_tabStops = dlg.m_nTabStops;
  m_settings.m_autoIndent = dlg.m_bAutoIndent != 0;
  m_settings.m_autoKanji = dlg.m_bAutoKanji != 0;
  m_settings.m_filterIndex = dlg.m_nFilterIndex;
  m_settings.m_helpPath = dlg.m_strHelpPath;
  m_openMode = dlg.m_nOpenMode;
  if (CWinApp* app = AfxGetApp()) app->UpdateAllDocumentViews(HintOptions);
}

void CMainFrame::OnViewFont() {
  LOGFONTA lf{};
  if (!m_font || !GetObjectA(m_font, sizeof lf, &lf)) return;
  CColorFontDlg dlg(&lf, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FIXEDPITCHONLY | CF_NOVERTFONTS, m_hWnd);
  EditorColors& c = m_settings.m_colors;
  dlg.SetColors(c.keyword, c.comment, c.string, c.text, c.background);
  if (dlg.DoModal() != IDOK) return;
  c.keyword = dlg.GetKeywordColor();
  c.comment = dlg.GetCommentColor();
  c.string = dlg.GetStringColor();
  c.text = dlg.GetTextColor();
  c.background = dlg.GetBackgroundColor();
  dlg.GetCurrentFont(&lf);
  SetEditorFont(lf);
  if (CWinApp* app = AfxGetApp()) app->UpdateAllDocumentViews(HintFontAndColors);
}

// ---------------------------------------------------------------- destruction

void CMainFrame::StorePlacement() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(m_hWnd, &wp)) return;
  PlacementRecord& rec = m_settings.m_window;
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
  m_settings.m_hasWindow = true;
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM) {
  StorePlacement();
  SettingsSection section(*AfxGetApp());
  m_settings.Write(section);
  StopFindInFiles();
  if (m_checks) m_checks->Stop();  // a check under way ends with its helper
  m_findInFiles.Save(*AfxGetApp());
  RemoveFinishedConsoleWrappers();  // a console still open keeps its wrapper
  // The shared document menu must not go down with this window.
  if (m_hMenuDefault && GetMenu(m_hWnd) != m_hMenuDefault) SetMenu(m_hWnd, m_hMenuDefault);
  return Default();
}

// ---------------------------------------------------------------- files changed on disk

LRESULT CMainFrame::OnActivateApp(WPARAM wp, LPARAM lp) {
  if (wp) PostMessage(kCheckFilesMessage, 0, 0);
  return Default();
}

LRESULT CMainFrame::OnCheckFiles(WPARAM, LPARAM) {
  // Not while a box or dialog waits, a macro runs or a job prints (each keeps
  // this window disabled): the next activation asks.
  if (!IsWindowEnabled(m_hWnd)) return 0;
  if (CMyApp* app = GetMyApp()) app->CheckFilesChangedOnDisk();
  return 0;
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
  const std::string& path = m_settings.m_helpPath;
  if (!HelpSystemTakes(path)) {
    ReportCannotOpen(path, ERROR_FILENAME_EXCED_RANGE);
    return;
  }
  SetLastError(0);
  if (!s_showHelpTopic(path.c_str())) {
    DWORD err = GetLastError();
    if (!err && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) err = GetLastError();
    ReportCannotOpen(path, err);
  }
}

void CMainFrame::OnUpdateHelpOnline(CCmdUI* ui) { ui->Enable(!m_settings.m_helpPath.empty()); }

void CMainFrame::OnHelpWshVersion() {
  std::string path = VersionSamplePath();
  auto r = reinterpret_cast<INT_PTR>(ShellExecuteA(m_hWnd, "OPEN", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (r <= 32) ReportCannotOpen(path, GetLastError());
}

void CMainFrame::OnUpdateHelpWshVersion(CCmdUI* ui) {
  ui->Enable(GetFileAttributesA(VersionSamplePath().c_str()) != INVALID_FILE_ATTRIBUTES);
}

// ---------------------------------------------------------------- Macro menu

LRESULT CMainFrame::OnInitMenu(WPARAM, LPARAM) {
  LRESULT r = Default();
  if (m_macros.RebuildMenu(GetMenu(m_hWnd))) DrawMenuBar(m_hWnd);
  return r;
}

LRESULT CMainFrame::OnInitMacroPopup(WPARAM wp, LPARAM lp) {
  LRESULT r = CMDIFrameWnd::OnInitMenuPopup(wp, lp);
  if (!HIWORD(lp)) m_macros.EnableItems(reinterpret_cast<HMENU>(wp));
  return r;
}

BOOL CMainFrame::OnCommand(WPARAM wp, LPARAM lp) {
  if (HIWORD(wp) == 0 && lp == 0) {
    CMDIChildWnd* child = MDIGetActive();
    if (m_macros.RunItem(LOWORD(wp), GetMenu(m_hWnd),
                         child ? dynamic_cast<CMyEditView*>(child->GetActiveView()) : nullptr))
      return TRUE;
  }
  return CMDIFrameWnd::OnCommand(wp, lp);
}

void CMainFrame::OnMacroLanguage(UINT id) { m_macros.SetLanguage(id == ID_MACRO_VBSCRIPT ? 1 : 0); }

void CMainFrame::OnUpdateMacroLanguage(CCmdUI* ui) {
  ui->Enable(TRUE);
  const bool vbscript = m_macros.Language() != 0;
  ui->SetRadio((ui->m_nID == ID_MACRO_VBSCRIPT) == vbscript);
}

void CMainFrame::OnMacroOrganize() {
  m_macros.Organize(this);
}

void CMainFrame::OnUpdateMacroOrganize(CCmdUI* ui) { ui->Enable(m_macros.CanOrganize()); }
