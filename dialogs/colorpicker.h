// The colour picker: an owner-drawn push button showing a colour swatch and a
// drop-down arrow, and the popup grid it opens (automatic box, 40 named
// colours, customize box that opens the system colour dialog). The popup
// reports to the button, the button to its parent, with the colour in wParam
// (and the button's control id in lParam towards the parent).
#pragma once
#include <windows.h>
#include <string>
#include "dialogs/color_grid.h"
#include "platform/framework/wnd.h"

#define PICKER_SELCHANGE 0x7E9
#define PICKER_DROPDOWN 0x7EA
#define PICKER_CLOSEUP 0x7EB
#define PICKER_SELENDOK 0x7EC
#define PICKER_SELENDCANCEL 0x7ED

class ColorGridPopup;

class CCJColorPicker : public CWnd {
 public:
  CCJColorPicker();
  ~CCJColorPicker() override;

  // Takes over the dialog's button `id`: owner-drawn, sized for the arrow.
  BOOL SubclassDlgItem(int id, HWND parent);
  COLORREF GetColor() const { return m_colorRole == 1 ? m_captionColor : m_swatchColor; }
  void SetColor(COLORREF color);
  bool IsPopupOpen() const { return m_popupOpen; }
  ColorGridPopup* Popup() const { return m_popup; }  // while it exists

  bool m_trackSelection = false;
  // The colour the swatch shows for the automatic choice (the button face when
  // CLR_INVALID): what that choice draws as where the colour is used.
  COLORREF m_automaticShownAs = CLR_INVALID;
  std::string m_autoText = "自動選択";
  std::string m_customText = "カスタマイズ ...";

  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 protected:
  bool m_popupOpen = false;
  COLORREF m_swatchColor;
  COLORREF m_captionColor;
  int m_colorRole = 2;
  RECT m_arrow{};
  ColorGridPopup* m_popup = nullptr;

  void SizeToArrow();
  void Draw(HDC dc, RECT r, bool pushed, bool disabled, bool focused);
  void OnClicked();
  void Notify(UINT msg, COLORREF color);
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnSelEndOk(WPARAM, LPARAM);
  LRESULT OnSelEndCancel(WPARAM, LPARAM);
  LRESULT OnSelChange(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  friend class ColorGridPopup;
  DECLARE_MESSAGE_MAP()
};

// The popup; created by the picker's click, deletes itself with its window.
class ColorGridPopup : public CWnd {
 public:
  // False when the window could not be made (the object is then deleted).
  static ColorGridPopup* Open(int x, int y, COLORREF color, CCJColorPicker* picker);

  int HotCell() const { return m_hot; }
  int ChosenCell() const { return m_chosen; }
  const colorgrid::Layout& Layout() const { return m_layout; }
  HWND ToolTip() const { return m_tooltip; }
  bool InColorDialog() const { return m_inColorDialog; }

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 protected:
  ColorGridPopup(COLORREF color, CCJColorPicker* picker);
  ~ColorGridPopup() override;
  // Deletes itself with its window once the window was made; a failed
  // creation leaves the object to Open.
  void PostNcDestroy() override {
    if (m_windowMade) delete this;
  }
  bool m_windowMade = false;
  bool Create(int x, int y);
  void Select(int cell);
  void End(bool ok);
  void DrawCell(HDC dc, int cell);
  void DrawTextBox(HDC dc, int cell, RECT r);

  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnLButtonUp(WPARAM, LPARAM);
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnQueryNewPalette(WPARAM, LPARAM);
  LRESULT OnPaletteChanged(WPARAM, LPARAM);
  LRESULT OnKillFocus(WPARAM, LPARAM);
  LRESULT OnActivateApp(WPARAM, LPARAM);

  colorgrid::Layout m_layout;
  int m_hot = colorgrid::kNoCell;
  int m_chosen = colorgrid::kNoCell;
  COLORREF m_initial, m_current;
  CCJColorPicker* m_picker;
  HWND m_pickerWnd;
  std::string m_autoText, m_customText;
  HFONT m_font = nullptr;
  HPALETTE m_palette = nullptr;
  HWND m_tooltip = nullptr;
  bool m_inColorDialog = false;  // the system colour dialog runs from End
  bool m_ended = false;
  bool m_destroyAfterDialog = false;  // destruction asked for while it ran
  bool PickerAlive() const;
  friend class CCJColorPicker;
  DECLARE_MESSAGE_MAP()
};
