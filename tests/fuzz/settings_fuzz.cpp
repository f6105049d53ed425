// fuzz-sources: app/settings_format.cpp platform/framework/profile_codec.cpp platform/framework/pathutil.cpp
// The settings file's value formats and the profile codec on arbitrary text:
// whatever parses formats back to text that parses to the same value, what
// the program writes reads back unchanged, and the CP932 path helpers stay
// inside their byte limits without cutting a double-byte character.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/settings_format.h"
#include "platform/cp932.h"
#include "tests/fuzz/fuzz_check.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/profile_codec.h"

namespace {

bool SameFont(const FontRecord& a, const FontRecord& b) {
  return FormatFontNumbers(a) == FormatFontNumbers(b);
}

// True when `cut` ends a character of `text` walked the way the path code walks it.
bool IsCharBoundary(const std::string& text, size_t cut) {
  size_t i = 0;
  while (i < cut) i += cp932::CharLengthLoose(text.data(), i, text.size());
  return i == cut;
}

void FuzzFont(const std::string& text) {
  FontRecord font;
  font.faceName = "kept";
  if (!ParseFontNumbers(text, font)) return;
  Check(font.faceName == "kept", "font numbers changed the face name", text);
  FontRecord again;
  Check(ParseFontNumbers(FormatFontNumbers(font), again), "formatted font numbers do not parse", text);
  Check(SameFont(font, again), "font numbers change on a round trip", text);
}

void FuzzColors(const std::string& text, int count, const std::vector<uint32_t>& written) {
  uint32_t colors[8], again[8];
  if (ParseColorList(text, colors, count)) {
    bool fits = true;  // six digits or the automatic value, as the program writes them
    for (int i = 0; i < count; ++i) fits = fits && (colors[i] <= 0xFFFFFF || colors[i] == kAutomaticColor);
    if (fits) {
      Check(ParseColorList(FormatColorList(colors, count), again, count), "formatted colours do not parse", text);
      Check(std::memcmp(colors, again, sizeof(uint32_t) * static_cast<size_t>(count)) == 0,
            "colours change on a round trip", text);
    }
  }
  // What the program writes reads back exactly.
  const std::string form = FormatColorList(written.data(), count);
  Check(ParseColorList(form, again, count), "written colours do not parse", form);
  Check(std::memcmp(written.data(), again, sizeof(uint32_t) * static_cast<size_t>(count)) == 0,
        "written colours read back different", form);
}

void FuzzProfileBytes(const std::string& text) {
  const auto bytes = DecodeProfileBytes(text);
  if (bytes) {
    Check(bytes->size() == text.size() / 2, "decoded length", text);
    Check(EncodeProfileBytes(bytes->data(), bytes->size()) == text.substr(0, text.size() & ~size_t{1}),
          "profile bytes change on a round trip", text);
    PlacementRecord rec;
    if (DecodePlacement(*bytes, rec)) {
      Check(rec.right > rec.left && rec.bottom > rec.top, "empty placement accepted", text);
      Check(EncodePlacement(rec) == *bytes, "placement changes on a round trip", text);
    }
  }
  const auto encoded = EncodeProfileBytes(text.data(), text.size());
  const auto decoded = DecodeProfileBytes(encoded);
  Check(decoded && std::string(decoded->begin(), decoded->end()) == text, "encoded bytes do not decode", text);
}

void FuzzPaths(const std::string& path, size_t limit) {
  const std::string cut = LimitBytes(path, limit);
  Check(path.compare(0, cut.size(), cut) == 0 && cut.size() <= limit, "LimitBytes is no prefix within the limit", path);
  Check(IsCharBoundary(path, cut.size()), "LimitBytes cut a double-byte character", path);
  Check(cut.size() == path.size() || cut.size() + 2 > limit, "LimitBytes stopped early", path);
  const std::string shown = AbbreviatePath(path, limit);
  Check(path.size() > limit ? shown.size() <= limit : shown == path, "AbbreviatePath length", path);
  Check(LimitFaceName(path).size() <= 31, "face name longer than 31 bytes", path);

  const size_t sep = LastPathSeparator(path);
  Check(sep == std::string::npos || (sep < path.size() && IsCharBoundary(path, sep)),
        "separator outside the path or inside a double-byte character", path);
  const size_t dot = PathExtensionDot(path);
  Check(dot == std::string::npos || (path[dot] == '.' && (sep == std::string::npos || dot > sep)),
        "extension dot", path);
  Check(PathFolderWithSeparator(path).size() == (sep == std::string::npos ? 0 : sep + 1), "folder with separator",
        path);
  (void)PathFolder(path);
  const std::string ini = MakeSettingsPath(path);
  Check(ini.size() >= 4 && ini.compare(ini.size() - 4, 4, ".ini") == 0, "settings path does not end in .ini", path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int count = in.ConsumeIntegralInRange(1, 8);
  const size_t limit = in.ConsumeIntegralInRange<size_t>(0, 80);
  std::vector<uint32_t> written(8);
  for (auto& c : written)
    c = in.ConsumeBool() ? kAutomaticColor : in.ConsumeIntegralInRange<uint32_t>(0, 0xFFFFFF);
  const std::string text = in.ConsumeRemainingBytesAsString();
  FuzzFont(text);
  FuzzColors(text, count, written);
  FuzzProfileBytes(text);
  FuzzPaths(text, limit);
  return 0;
}
