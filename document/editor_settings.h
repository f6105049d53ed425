// The editor-wide settings that views and documents read while the program
// runs. The main window keeps them (from the settings file) and registers
// itself here; with no main window the defaults of the settings file apply.
#pragma once
#include <string>

class EditorSettings {
 public:
  virtual bool AutoDetect() const = 0;          // AutoKanji
  virtual std::string LastFolder() const = 0;   // Directory
  virtual void SetLastFolder(const std::string& folder) = 0;
  virtual int DefaultExtensionIndex() const = 0;  // FilterIndex: 0 .wsf, 1 .js, 2 .vbs, 3 .hta

 protected:
  ~EditorSettings() = default;
};

EditorSettings* GetEditorSettings();  // never null
void SetEditorSettings(EditorSettings* settings);
