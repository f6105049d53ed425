// The settings store's read and write steps.
#include "app/settings_store.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/profile_codec.h"

namespace {
int Read(const SettingsProfile& p, const IntSetting& s) { return s.FromFile(p.GetInt(s.key, s.def)); }
}  // namespace

void CSettingsStore::ReadPlacementAndOptions(const SettingsProfile& p) {
  auto bytes = DecodeProfileBytes(p.GetString("Window"));
  m_hasWindow = bytes && DecodePlacement(*bytes, m_window);
  m_autoKanji = p.GetInt("AutoKanji", 0) != 0;
  m_tabStops = Read(p, settings::kTabStops);
  m_autoIndent = p.GetInt("AutoIndent", 1) != 0;
  m_stress = Read(p, settings::kStress);
  m_directory = LimitBytes(p.GetString("Directory"), kMaxPathBytes);
  m_filterIndex = Read(p, settings::kFilterIndex);
  m_helpPath = LimitBytes(p.GetString("HelpPath"), kMaxPathBytes);
  m_macroLanguage = Read(p, settings::kLanguage);
}

void CSettingsStore::ReadFontAndColors(const SettingsProfile& p) {
  std::string numbers = p.GetString("Font");
  std::string face = p.GetString("Font-Family");
  m_hasFont = ParseFontNumbers(numbers, m_font);
  if (m_hasFont) m_font.faceName = LimitFaceName(face);
  uint32_t syntax[3] = {m_colors.keyword, m_colors.comment, m_colors.string};
  if (ParseColorList(p.GetString("Colors"), syntax, 3)) {
    m_colors.keyword = syntax[0];
    m_colors.comment = syntax[1];
    m_colors.string = syntax[2];
  }
  uint32_t editor[2] = {m_colors.text, m_colors.background};
  if (ParseColorList(p.GetString("Editor"), editor, 2)) {
    m_colors.text = editor[0];
    m_colors.background = editor[1];
  }
}

void CSettingsStore::Write(SettingsProfile& p) const {
  if (m_hasWindow) {
    std::vector<uint8_t> bytes = EncodePlacement(m_window);
    p.WriteString("Window", EncodeProfileBytes(bytes.data(), bytes.size()));
  }
  p.WriteInt("AutoKanji", m_autoKanji ? 1 : 0);
  p.WriteInt("TabStops", m_tabStops);
  p.WriteInt("AutoIndent", m_autoIndent ? 1 : 0);
  p.WriteInt("Stress", m_stress);
  p.WriteString("Directory", m_directory);
  p.WriteInt("FilterIndex", m_filterIndex);
  p.WriteString("HelpPath", m_helpPath);
  p.WriteInt("Language", m_macroLanguage);
  if (m_hasFont) {
    p.WriteString("Font", FormatFontNumbers(m_font));
    p.WriteString("Font-Family", LimitFaceName(m_font.faceName));
  }
  const uint32_t syntax[3] = {m_colors.keyword, m_colors.comment, m_colors.string};
  p.WriteString("Colors", FormatColorList(syntax, 3));
  const uint32_t editor[2] = {m_colors.text, m_colors.background};
  p.WriteString("Editor", FormatColorList(editor, 2));
}
