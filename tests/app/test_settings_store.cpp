// The settings store over a profile kept in memory: which keys it reads and
// writes, in which order, and what comes back of what it read.
#include <gtest/gtest.h>
#include <map>
#include "app/settings_store.h"

namespace {
class MemoryProfile : public SettingsProfile {
 public:
  std::map<std::string, std::string> values;
  mutable std::vector<std::string> read;
  std::vector<std::string> written;

  int GetInt(const char* key, int def) const override {
    read.push_back(key);
    auto it = values.find(key);
    return it == values.end() ? def : atoi(it->second.c_str());
  }
  std::string GetString(const char* key) const override {
    read.push_back(key);
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  }
  void WriteInt(const char* key, int value) override { WriteString(key, std::to_string(value)); }
  void WriteString(const char* key, const std::string& value) override {
    written.push_back(key);
    values[key] = value;
  }
};

const std::vector<std::string> kFileOrder = {"Window",   "AutoKanji",   "TabStops", "AutoIndent", "Stress",
                                             "Directory", "FilterIndex", "HelpPath", "Language",   "Font",
                                             "Font-Family", "Colors",    "Editor"};
}  // namespace

TEST(SettingsStore, ReadsAndWritesEveryKeyInTheFilesOrder) {
  MemoryProfile file;
  file.values = {{"Window", std::string(88, 'A')}, {"Font", "-20,0,0,0,400,0,0,0,128,3,2,1,49"}};
  CSettingsStore store;
  store.ReadPlacementAndOptions(file);
  store.ReadFontAndColors(file);
  EXPECT_EQ(file.read, kFileOrder);
  store.m_hasWindow = true;
  store.Write(file);
  EXPECT_EQ(file.written, kFileOrder);
}

// Values come back in the forms the reader takes: flags as 0 or 1, paths and
// face names cut to their fields, a colour key that cannot be read as its defaults.
TEST(SettingsStore, WritesBackWhatItReadInTheFormsItReads) {
  MemoryProfile file;
  file.values = {{"AutoKanji", "5"},
                 {"Directory", std::string(300, 'd')},
                 {"Font", "-20,0,0,0,400,0,0,0,128,3,2,1,49"},
                 {"Font-Family", std::string(40, 'f')},
                 {"Editor", "-1,FFFFFF"}};
  CSettingsStore store;
  store.ReadPlacementAndOptions(file);
  store.ReadFontAndColors(file);
  EXPECT_TRUE(store.AutoDetect());
  MemoryProfile out;
  store.Write(out);
  EXPECT_EQ(out.values["AutoKanji"], "1");
  EXPECT_EQ(out.values["Directory"], std::string(CSettingsStore::kMaxPathBytes, 'd'));
  EXPECT_EQ(out.values["Font-Family"], std::string(31, 'f'));
  EXPECT_EQ(out.values["Editor"], "000000,FFFFFF");
  EXPECT_EQ(out.values.count("Window"), 0u);  // none read, none written
}

// Values are brought into what the dialogs allow as they are read, so a tab
// width of 0 or a huge one never reaches the view's arithmetic: a number to
// the nearer end of its range, a choice outside its list to the default.
TEST(SettingsStore, ValuesReadOutsideWhatTheirDialogsAllowComeBackInside) {
  const struct {
    const char* key;
    const char* stored;
    int CSettingsStore::*member;
    int expected;
  } rows[] = {{"TabStops", "0", &CSettingsStore::m_tabStops, 1},   {"TabStops", "536870912", &CSettingsStore::m_tabStops, 255},
              {"TabStops", "8", &CSettingsStore::m_tabStops, 8},   {"Stress", "7", &CSettingsStore::m_stress, 1},
              {"Stress", "-1", &CSettingsStore::m_stress, 1},      {"FilterIndex", "4", &CSettingsStore::m_filterIndex, 0},
              {"Language", "2", &CSettingsStore::m_macroLanguage, 0}};
  for (const auto& row : rows) {
    MemoryProfile file;
    file.values[row.key] = row.stored;
    CSettingsStore store;
    store.ReadPlacementAndOptions(file);
    EXPECT_EQ(row.expected, store.*row.member) << row.key << "=" << row.stored;
  }
}
