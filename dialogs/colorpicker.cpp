// The colour picker button and its popup grid.
#include "dialogs/colorpicker.h"
#include <commctrl.h>
#include <commdlg.h>
#include <algorithm>
#include <cstddef>
#include <vector>
#include "platform/framework/modal.h"

using namespace colorgrid;

namespace {
const char kPopupClass[] = "RvColorGridPopup";

HBRUSH SysBrush(int index) { return GetSysColorBrush(index); }

void FrameWith(HDC dc, const RECT& r, int sysColor) { FrameRect(dc, &r, SysBrush(sysColor)); }

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}
}  // namespace

// ================================================================ picker

BEGIN_MESSAGE_MAP(CCJColorPicker, CWnd)
  ON_MESSAGE(WM_PAINT, OnPaint)
  ON_MESSAGE(WM_DESTROY, OnDestroy)
  ON_MESSAGE(PICKER_SELENDOK, OnSelEndOk)
  ON_MESSAGE(PICKER_SELENDCANCEL, OnSelEndCancel)
  ON_MESSAGE(PICKER_SELCHANGE, OnSelChange)
END_MESSAGE_MAP(CWnd)

CCJColorPicker::CCJColorPicker()
    : m_swatchColor(GetSysColor(COLOR_BTNFACE)), m_captionColor(GetSysColor(COLOR_BTNTEXT)) {}

CCJColorPicker::~CCJColorPicker() {
  if (m_popup) m_popup->m_picker = nullptr;
}

BOOL CCJColorPicker::SubclassDlgItem(int id, HWND parent) {
  HWND button = ::GetDlgItem(parent, id);
  if (!button || !SubclassWindow(button)) return FALSE;
  LONG style = GetWindowLongA(button, GWL_STYLE);
  SetWindowLongA(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
  SizeToArrow();
  return TRUE;
}

void CCJColorPicker::SizeToArrow() {
  const int cxEdge = GetSystemMetrics(SM_CXEDGE), cyEdge = GetSystemMetrics(SM_CYEDGE);
  int s = GetSystemMetrics(SM_CXHTHUMB);
  s = std::max(s, 5 * cxEdge);
  s = std::max(s, GetSystemMetrics(SM_CYVTHUMB));
  s = std::max(s, 5 * cyEdge);
  RECT r;
  GetWindowRect(m_hWnd, &r);
  MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
  const int w = std::max<int>(r.right - r.left, 2 * (s + cxEdge));
  const int h = s + 2 * cyEdge;
  MoveWindow(m_hWnd, r.left, r.top, w, h, TRUE);
  m_arrow = {w - s - cxEdge, cyEdge, w - cxEdge, h - cyEdge};
}

void CCJColorPicker::SetColor(COLORREF color) {
  (m_colorRole == 1 ? m_captionColor : m_swatchColor) = color;
  if (m_hWnd) RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// The button draws itself, whatever its parent does with owner-draw requests.
LRESULT CCJColorPicker::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hWnd, &ps);
  RECT r;
  GetClientRect(m_hWnd, &r);
  const LRESULT state = SendMessage(BM_GETSTATE);
  Draw(dc, r, (state & BST_PUSHED) || m_popupOpen, !IsWindowEnabled(m_hWnd), GetFocus() == m_hWnd);
  EndPaint(m_hWnd, &ps);
  return 0;
}

void CCJColorPicker::Draw(HDC dc, RECT r, bool pushed, bool disabled, bool focused) {
  FillRect(dc, &r, SysBrush(COLOR_BTNFACE));
  RECT a = r;
  a.left = r.right - r.left - GetSystemMetrics(SM_CXHTHUMB);
  UINT arrow = DFCS_SCROLLDOWN;
  if (disabled)
    arrow |= DFCS_INACTIVE;
  else if (pushed)
    arrow |= DFCS_PUSHED | DFCS_FLAT;
  DrawFrameControl(dc, &a, DFC_SCROLL, arrow);
  FrameWith(dc, a, COLOR_BTNFACE);
  InflateRect(&a, -1, -1);
  FrameWith(dc, a, COLOR_BTNFACE);
  if (pushed) OffsetRect(&a, 1, 1);
  Line(dc, a.left - 1, a.top + 2, a.left - 1, a.bottom - 2, GetSysColor(COLOR_BTNSHADOW));
  Line(dc, a.left, a.top + 2, a.left, a.bottom - 2, GetSysColor(COLOR_BTNHIGHLIGHT));
  DrawEdge(dc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  InflateRect(&r, -2, -2);
  FrameWith(dc, r, COLOR_BTNFACE);
  if (focused) DrawFocusRect(dc, &r);
  if (pushed) OffsetRect(&r, 1, 1);
  RECT swatch = r;
  InflateRect(&swatch, -2, -2);
  swatch.right = a.left - 4;
  const COLORREF color = m_swatchColor;
  const COLORREF automatic = m_automaticShownAs == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : m_automaticShownAs;
  HBRUSH fill = CreateSolidBrush(disabled ? GetSysColor(COLOR_BTNFACE) : color == kAutomaticColor ? automatic : color);
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(disabled ? WHITE_PEN : BLACK_PEN));
  Rectangle(dc, swatch.left, swatch.top, swatch.right, swatch.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(fill);
  std::string caption = GetWindowText();
  if (!caption.empty()) {
    SetBkMode(dc, TRANSPARENT);
    const UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (disabled) {
      RECT shifted = r;
      OffsetRect(&shifted, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawTextA(dc, caption.c_str(), -1, &shifted, fmt);
      SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
      SetTextColor(dc, m_captionColor == kAutomaticColor ? RGB(0, 0, 0) : m_captionColor);
    }
    DrawTextA(dc, caption.c_str(), -1, &r, fmt);
  }
}

bool CCJColorPicker::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == WM_COMMAND && (HIWORD(wp) == BN_CLICKED || HIWORD(wp) == BN_DOUBLECLICKED)) {
    OnClicked();
    if (result) *result = 0;
    return true;
  }
  return CWnd::OnChildNotify(msg, wp, lp, result);
}

void CCJColorPicker::OnClicked() {
  if (m_popup) return;
  m_popupOpen = true;
  RECT r;
  GetWindowRect(m_hWnd, &r);
  m_popup = ColorGridPopup::Open(r.left, r.bottom, GetColor(), this);
  if (!m_popup) {
    // No popup, no end to wait for: the button must not stay pushed.
    m_popupOpen = false;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return;
  }
  Notify(PICKER_DROPDOWN, GetColor());
}

void CCJColorPicker::Notify(UINT msg, COLORREF color) {
  HWND parent = ::GetParent(m_hWnd);
  if (parent && IsWindow(parent))
    ::SendMessageA(parent, msg, color, static_cast<LPARAM>(GetDlgCtrlID(m_hWnd)));
}

LRESULT CCJColorPicker::OnSelEndOk(WPARAM wp, LPARAM) {
  const COLORREF color = static_cast<COLORREF>(wp);
  m_popupOpen = false;
  const COLORREF before = GetColor();
  SetColor(color);
  Notify(PICKER_CLOSEUP, color);
  Notify(PICKER_SELENDOK, color);
  if (color != before) Notify(PICKER_SELCHANGE, color);
  return 0;
}

LRESULT CCJColorPicker::OnSelEndCancel(WPARAM wp, LPARAM) {
  const COLORREF color = static_cast<COLORREF>(wp);
  m_popupOpen = false;
  SetColor(color);
  Notify(PICKER_CLOSEUP, color);
  Notify(PICKER_SELENDCANCEL, color);
  return 0;
}

LRESULT CCJColorPicker::OnSelChange(WPARAM wp, LPARAM) {
  if (m_trackSelection) SetColor(static_cast<COLORREF>(wp));
  Notify(PICKER_SELCHANGE, static_cast<COLORREF>(wp));
  return 0;
}

LRESULT CCJColorPicker::OnDestroy(WPARAM, LPARAM) {
  if (ColorGridPopup* popup = m_popup) {
    m_popup = nullptr;
    popup->m_picker = nullptr;
    if (popup->m_inColorDialog)
      popup->m_destroyAfterDialog = true;  // it ends when the colour dialog returns
    else if (popup->m_hWnd)
      ::DestroyWindow(popup->m_hWnd);
  }
  return Default();
}

// ================================================================ popup

BEGIN_MESSAGE_MAP(ColorGridPopup, CWnd)
  ON_MESSAGE(WM_PAINT, OnPaint)
  ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
  ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
  ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
  ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
  ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
  ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
  ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
END_MESSAGE_MAP(CWnd)

ColorGridPopup::ColorGridPopup(COLORREF color, CCJColorPicker* picker)
    : m_layout(0, 0, GetSystemMetrics(SM_CXEDGE), 18, false, false, 0, 0),
      m_initial(color),
      m_current(color),
      m_picker(picker),
      m_pickerWnd(picker->m_hWnd),
      m_autoText(picker->m_autoText),
      m_customText(picker->m_customText) {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  m_font = CreateFontIndirectA(&ncm.lfMessageFont);
  std::vector<char> pal(sizeof(LOGPALETTE) + (kColorCount - 1) * sizeof(PALETTEENTRY));
  auto* head = reinterpret_cast<LOGPALETTE*>(pal.data());
  auto* entries = reinterpret_cast<PALETTEENTRY*>(pal.data() + offsetof(LOGPALETTE, palPalEntry));
  head->palVersion = 0x300;
  head->palNumEntries = kColorCount;
  for (int i = 0; i < kColorCount; ++i) {
    entries[i].peRed = GetRValue(kColors[i].color);
    entries[i].peGreen = GetGValue(kColors[i].color);
    entries[i].peBlue = GetBValue(kColors[i].color);
    entries[i].peFlags = 0;
  }
  m_palette = CreatePalette(head);
}

ColorGridPopup::~ColorGridPopup() {
  if (m_picker && m_picker->m_popup == this) m_picker->m_popup = nullptr;
  if (m_font) DeleteObject(m_font);
  if (m_palette) DeleteObject(m_palette);
}

ColorGridPopup* ColorGridPopup::Open(int x, int y, COLORREF color, CCJColorPicker* picker) {
  auto* popup = new ColorGridPopup(color, picker);
  if (!popup->Create(x, y)) {
    delete popup;
    return nullptr;
  }
  return popup;
}

bool ColorGridPopup::Create(int x, int y) {
  const char* cls = RegisterWndClass(kPopupClass, CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW, nullptr,
                                     SysBrush(COLOR_BTNFACE), nullptr);
  if (!CreateEx(0, cls, "", WS_VISIBLE | WS_POPUP, x, y, 100, 100, m_pickerWnd, nullptr)) return false;
  m_windowMade = true;
  // Layout from the texts measured in the popup's font.
  int tw = 0, th = 0;
  if (!m_autoText.empty() || !m_customText.empty()) {
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, m_font);
    for (const std::string* t : {&m_autoText, &m_customText}) {
      SIZE size{};
      GetTextExtentPoint32A(dc, t->c_str(), static_cast<int>(t->size()), &size);
      tw = std::max<int>(tw, size.cx);
      th = std::max<int>(th, size.cy);
    }
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
  }
  m_layout = colorgrid::Layout(x, y, GetSystemMetrics(SM_CXEDGE), 18, !m_autoText.empty(), !m_customText.empty(),
                               tw, th);
  RECT button;
  GetWindowRect(m_pickerWnd, &button);
  m_layout.KeepOnScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), button.bottom - button.top);
  const Rect& w = m_layout.WindowRect();
  MoveWindow(m_hWnd, w.left, w.top, w.Width(), w.Height(), TRUE);
  // Tooltips: the popup's own control, fed from the popup's own messages, so
  // it works inside any modal loop.
  m_tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
  if (m_tooltip) {
    for (int i = 0; i < kColorCount; ++i) {
      TTTOOLINFOA ti{};
      ti.cbSize = TTTOOLINFOA_V1_SIZE;
      ti.uFlags = 0;
      ti.hwnd = m_hWnd;
      ti.uId = static_cast<UINT_PTR>(i + 1);
      const Rect c = m_layout.CellRect(i);
      ti.rect = {c.left, c.top, c.right, c.bottom};
      ti.lpszText = const_cast<char*>(kColors[i].name);
      ::SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
  m_chosen = m_layout.ChosenCell(m_initial);
  SetCapture(m_hWnd);
  return true;
}

LRESULT ColorGridPopup::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_tooltip && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
    MSG m{m_hWnd, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    DWORD pos = GetMessagePos();
    m.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::SendMessageA(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
  }
  return CWnd::WindowProc(msg, wp, lp);
}

bool ColorGridPopup::PickerAlive() const {
  return m_picker && IsWindow(m_pickerWnd) && CWnd::FromHandle(m_pickerWnd) == m_picker;
}

void ColorGridPopup::Select(int cell) {
  if (cell >= kColorCount) cell = kCustomCell;
  const int old = m_hot;
  m_hot = cell;
  if (m_hWnd) {
    HDC dc = GetDC(m_hWnd);
    if (old != kNoCell) DrawCell(dc, old);
    DrawCell(dc, m_hot);
    ReleaseDC(m_hWnd, dc);
  }
  COLORREF report = m_initial;
  if (cell == kAutoCell) {
    m_current = report = kAutomaticColor;
  } else if (cell >= 0) {
    m_current = report = kColors[cell].color;
  }
  if (PickerAlive()) ::SendMessageA(m_pickerWnd, PICKER_SELCHANGE, report, 0);
}

void ColorGridPopup::End(bool ok) {
  if (m_ended) return;
  m_ended = true;
  ReleaseCapture();
  if (!ok) m_current = m_initial;
  if (ok && m_hot == kCustomCell) {
    static COLORREF custom[16];
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = m_initial;
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    // While the dialog runs, deactivation and focus loss are ignored and a
    // destruction waits; the window may still go with its owner.
    HWND self = m_hWnd;
    m_inColorDialog = true;
    const BOOL chosen = AfxRunCommonDialog("color", &cc);
    m_inColorDialog = false;
    if (!IsWindow(self) || m_hWnd != self) return;  // gone with its owner
    if (m_destroyAfterDialog || !PickerAlive()) {
      ::DestroyWindow(m_hWnd);
      return;
    }
    if (chosen) {
      m_current = cc.rgbResult;
    } else {
      ok = false;
      m_current = m_initial;
    }
  }
  HWND self = m_hWnd;
  if (PickerAlive()) ::SendMessageA(m_pickerWnd, ok ? PICKER_SELENDOK : PICKER_SELENDCANCEL, m_current, 0);
  if (IsWindow(self) && m_hWnd == self) ::DestroyWindow(self);
}

// ---------------------------------------------------------------- painting

void ColorGridPopup::DrawTextBox(HDC dc, int cell, RECT r) {
  const int m = m_layout.margin();
  FillRect(dc, &r, SysBrush(COLOR_BTNFACE));
  InflateRect(&r, -1, -1);
  FillRect(dc, &r, SysBrush(cell == m_chosen && cell != m_hot ? COLOR_3DLIGHT : COLOR_BTNFACE));
  RECT outline = r;
  InflateRect(&outline, -2 * m, -2 * m);
  FrameWith(dc, outline, COLOR_BTNSHADOW);
  if (cell == m_hot)
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  else if (cell == m_chosen)
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  const std::string& text = cell == kAutoCell ? m_autoText : m_customText;
  HGDIOBJ old = SelectObject(dc, m_font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
}

void ColorGridPopup::DrawCell(HDC dc, int cell) {
  const int m = m_layout.margin();
  const Rect c = m_layout.CellRect(cell);
  RECT r{c.left, c.top, c.right, c.bottom};
  if (cell == kAutoCell) {
    if (m_layout.HasAuto()) DrawTextBox(dc, cell, r);
    return;
  }
  if (cell == kCustomCell) {
    if (!m_layout.HasCustom()) return;
    RECT below = r;
    below.top += 2 * m;
    FillRect(dc, &below, SysBrush(COLOR_BTNFACE));
    Line(dc, r.left + 2 * m, r.top + m, r.right - 2 * m, r.top + m, GetSysColor(COLOR_BTNSHADOW));
    Line(dc, r.left + 2 * m, r.top + m + 1, r.right - 2 * m, r.top + m + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextBox(dc, cell, below);
    return;
  }
  if (cell < 0 || cell >= kColorCount) return;
  HPALETTE oldPal = nullptr;
  if (m_palette && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
    oldPal = SelectPalette(dc, m_palette, FALSE);
    RealizePalette(dc);
  }
  FillRect(dc, &r, SysBrush(cell == m_chosen && cell != m_hot ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE));
  if (cell == m_hot)
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  else if (cell == m_chosen)
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  HBRUSH brush = CreateSolidBrush(PALETTERGB(GetRValue(kColors[cell].color), GetGValue(kColors[cell].color),
                                             GetBValue(kColors[cell].color)));
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  Rectangle(dc, r.left + m + 1, r.top + m + 1, r.right - m - 1, r.bottom - m - 1);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
  if (oldPal) SelectPalette(dc, oldPal, FALSE);
}

LRESULT ColorGridPopup::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hWnd, &ps);
  DrawCell(dc, kAutoCell);
  for (int i = 0; i < kColorCount; ++i) DrawCell(dc, i);
  DrawCell(dc, kCustomCell);
  RECT r;
  GetClientRect(m_hWnd, &r);
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  EndPaint(m_hWnd, &ps);
  return 0;
}

// ---------------------------------------------------------------- input

LRESULT ColorGridPopup::OnMouseMove(WPARAM, LPARAM lp) {
  const int cell = m_layout.HitTest(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
  if (cell != kNoCell && cell != m_hot) Select(cell);
  return Default();
}

LRESULT ColorGridPopup::OnLButtonUp(WPARAM, LPARAM) {
  Default();
  const DWORD pos = GetMessagePos();
  POINT p{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  const Rect& w = m_layout.WindowRect();
  End(w.Contains(p.x, p.y));
  return 0;
}

LRESULT ColorGridPopup::OnKeyDown(WPARAM wp, LPARAM) {
  Key key;
  switch (wp) {
    case VK_DOWN: key = Key::Down; break;
    case VK_UP: key = Key::Up; break;
    case VK_LEFT: key = Key::Left; break;
    case VK_RIGHT: key = Key::Right; break;
    case VK_ESCAPE:
      m_current = m_initial;
      End(false);
      return 0;
    case VK_RETURN:
    case VK_SPACE:
      End(true);
      return 0;
    default:
      return Default();
  }
  Select(m_layout.Move(m_hot, key));
  return Default();
}

LRESULT ColorGridPopup::OnQueryNewPalette(WPARAM, LPARAM) {
  InvalidateRect(m_hWnd, nullptr, TRUE);
  return Default();
}

LRESULT ColorGridPopup::OnPaletteChanged(WPARAM wp, LPARAM) {
  LRESULT r = Default();
  if (reinterpret_cast<HWND>(wp) != m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
  return r;
}

LRESULT ColorGridPopup::OnKillFocus(WPARAM, LPARAM) {
  LRESULT r = Default();
  if (!m_inColorDialog) ReleaseCapture();
  return r;
}

LRESULT ColorGridPopup::OnActivateApp(WPARAM wp, LPARAM) {
  LRESULT r = Default();
  if (!wp && !m_inColorDialog) End(false);
  return r;
}
