// The registry of the editor-wide settings: the application's store when it
// has registered one, otherwise the defaults of the settings file.
#include "document/editor_settings.h"

namespace {
class DefaultSettings : public EditorSettings {
 public:
  bool AutoDetect() const override { return false; }
  std::string LastFolder() const override { return m_folder; }
  void SetLastFolder(const std::string& folder) override { m_folder = folder; }
  int DefaultExtensionIndex() const override { return 0; }

 private:
  std::string m_folder;
};
DefaultSettings g_defaults;
EditorSettings* g_settings = nullptr;
}  // namespace

EditorSettings* GetEditorSettings() { return g_settings ? g_settings : &g_defaults; }
void SetEditorSettings(EditorSettings* settings) { g_settings = settings; }
