// The five editor colours shared by the main frame, the views and the font
// and colour dialog; colour values have red in the low byte.
#pragma once
#include <cstdint>

struct EditorColors {
  // The colour picker's automatic value, which a setting may hold for any of
  // the five (see DrawableColors).
  static constexpr uint32_t kAutomatic = 0xFF000000u;

  uint32_t keyword = 0xFF0000;     // blue
  uint32_t comment = 0x0000C0;     // dark red
  uint32_t string = 0x808000;      // teal
  uint32_t text = 0x000000;        // black
  uint32_t background = 0xFFFFFF;  // white
};

// The colours drawn for `colors`: an automatic text or background is the given
// window text or window colour, an automatic syntax role that role's default.
inline EditorColors DrawableColors(const EditorColors& colors, uint32_t windowText, uint32_t window) {
  const EditorColors defaults;
  EditorColors out = colors;
  if (out.text == EditorColors::kAutomatic) out.text = windowText;
  if (out.background == EditorColors::kAutomatic) out.background = window;
  if (out.keyword == EditorColors::kAutomatic) out.keyword = defaults.keyword;
  if (out.comment == EditorColors::kAutomatic) out.comment = defaults.comment;
  if (out.string == EditorColors::kAutomatic) out.string = defaults.string;
  return out;
}
