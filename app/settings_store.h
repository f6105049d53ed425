// The editor-wide settings of the settings file's section "Settings", held by
// the application while the program runs. The main window reads them in two
// steps while it is created and writes them in one step when it is destroyed,
// always in the file's key order; views and documents reach the values they
// need through EditorSettings. No Windows header: the file is reached through
// SettingsProfile.
#pragma once
#include <string>
#include "app/settings_format.h"
#include "document/editor_settings.h"
#include "views/editor_colors.h"

// The keys of one section of the settings file, as the private-profile calls
// read and write them (an unparsable integer reads as 0).
class SettingsProfile {
 public:
  virtual int GetInt(const char* key, int def) const = 0;
  virtual std::string GetString(const char* key) const = 0;  // empty when absent
  virtual void WriteInt(const char* key, int value) = 0;
  virtual void WriteString(const char* key, const std::string& value) = 0;

 protected:
  ~SettingsProfile() = default;
};

class CSettingsStore : public EditorSettings {
 public:
  // Settings, in the order of the file.
  bool m_hasWindow = false;  // Window: the main window's placement
  PlacementRecord m_window;
  bool m_autoKanji = false;  // AutoKanji
  int m_tabStops = 4;        // TabStops
  bool m_autoIndent = true;  // AutoIndent
  int m_stress = 1;          // Stress: 0 none, 1 JScript, 2 VBScript
  std::string m_directory;   // Directory: last folder of Open and Save As
  int m_filterIndex = 0;     // FilterIndex: 0 .wsf, 1 .js, 2 .vbs, 3 .hta
  std::string m_helpPath;    // HelpPath
  int m_macroLanguage = 0;   // Language: 0 JScript, 1 VBScript
  bool m_hasFont = false;    // Font and Font-Family (the face in m_font.faceName)
  FontRecord m_font;
  EditorColors m_colors;     // Colors (keyword, comment, string), Editor (text, background)

  // Longest Directory and HelpPath kept, in bytes: a path.
  static const size_t kMaxPathBytes = 259;

  // While the main window is being created: Window, then the eight option
  // values. Absent or unreadable values leave the defaults.
  void ReadPlacementAndOptions(const SettingsProfile& profile);
  // Once it exists: Font with Font-Family, then Colors, then Editor.
  void ReadFontAndColors(const SettingsProfile& profile);
  // When it is destroyed: every key above, in the same order.
  void Write(SettingsProfile& profile) const;

  // EditorSettings, for the views and documents.
  bool AutoDetect() const override { return m_autoKanji; }
  std::string LastFolder() const override { return m_directory; }
  void SetLastFolder(const std::string& folder) override { m_directory = folder; }
  int DefaultExtensionIndex() const override { return m_filterIndex; }
};
