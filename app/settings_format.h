// Text forms of the settings file's values, without any Windows header: the
// settings path beside the executable, the ranges of the numeric keys, the
// editor font's 13 numbers, the colour lists and the main window's placement
// record.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "dialogs/option_ranges.h"

// The executable's path with its extension replaced by ".ini" (appended when
// the name has none) and the ASCII capitals lowered; the second byte of a
// double-byte character is never changed.
std::string MakeSettingsPath(const std::string& exePath);

// A numeric key of the section "Settings": its default and the values the
// dialog that sets it allows. A value read from the file is brought into
// them, so that nothing past the read sees a tab width of 0 or a language 7:
// a number outside its range becomes the nearer end, a choice outside its
// list the default. (The flags AutoKanji and AutoIndent are on for any value
// but 0.)
struct IntSetting {
  const char* key;
  int def, min, max;
  bool choice;  // one of a list, min to max
  int FromFile(int stored) const {
    if (stored >= min && stored <= max) return stored;
    return choice ? def : stored < min ? min : max;
  }
};
namespace settings {
constexpr IntSetting kTabStops{"TabStops", 4, options::kMinTabStops, options::kMaxTabStops, false};
constexpr IntSetting kStress{"Stress", 1, 0, 2, true};           // none, JScript, VBScript
constexpr IntSetting kFilterIndex{"FilterIndex", 0, 0, 3, true};  // .wsf, .js, .vbs, .hta
constexpr IntSetting kLanguage{"Language", 0, 0, 1, true};       // JScript, VBScript
constexpr IntSetting kOpenMode{"OpenMode", 0, 0, 2, true};       // empty file, most recent file, nothing
}  // namespace settings

// The platform's logical-font record, face name kept apart (at most 31 bytes).
struct FontRecord {
  int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0, outPrecision = 0, clipPrecision = 0,
          quality = 0, pitchAndFamily = 0;
  std::string faceName;
};
std::string FormatFontNumbers(const FontRecord& font);
// True only when exactly 13 numbers are read; `font`'s face name is untouched.
bool ParseFontNumbers(const std::string& text, FontRecord& font);
// Cuts a face name to the 31 bytes the record holds, never inside a double-byte character.
std::string LimitFaceName(const std::string& face);

// The colour picker's "automatic" value. It is stored as the word "Auto" in
// place of its six hexadecimal digits, so that it survives a restart; values
// written as digits read exactly as before.
constexpr uint32_t kAutomaticColor = 0xFF000000u;
std::string FormatColorList(const uint32_t* colors, int count);
// All `count` colours are taken, or none (the caller keeps its defaults). Each
// is "Auto" or a hexadecimal number of at most six digits without a sign, so
// every value taken is written back in a form taken again.
bool ParseColorList(const std::string& text, uint32_t* colors, int count);

// The main window's placement record: eleven little-endian 32-bit integers.
struct PlacementRecord {
  int32_t length = 44, flags = 0, showCmd = 1;
  int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
std::vector<uint8_t> EncodePlacement(const PlacementRecord& rec);
// False for anything but a complete 44-byte record with a non-empty normal
// rectangle whose width and height fit a 32-bit integer.
bool DecodePlacement(const std::vector<uint8_t>& bytes, PlacementRecord& rec);

struct WindowRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
// `rect` moved, and cut where it is larger, so that it lies inside `area` (the
// way a window placed off every monitor is brought onto the nearest one).
// Both must be non-empty with sizes that fit 32 bits (DecodePlacement's rule).
WindowRect FitIntoArea(const WindowRect& rect, const WindowRect& area);
