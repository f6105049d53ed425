// The recent-file list: most recent first, kept in a profile section as
// File1..FileN, shown in the File menu in place of its first entry's item.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CRecentFileList {
 public:
  CRecentFileList(UINT firstId, const char* section, const char* entryFormat, int size,
                  size_t maxDisplayLength);
  int GetSize() const { return m_size; }
  int GetCount() const { return static_cast<int>(m_names.size()); }
  const std::string& operator[](int i) const { return m_names[static_cast<size_t>(i)]; }

  void Add(const std::string& path);  // moves an existing entry to the front
  void Remove(int index);
  std::string GetDisplayName(int index) const;

  // Profile: ReadList reads File1..FileN; WriteList deletes the section and
  // writes the non-empty entries from File1 onward.
  void ReadList();
  void WriteList() const;

  // Replaces the items from the placeholder (first id) to the last entry id in
  // `menu` by one item per entry, or the greyed placeholder when empty.
  void UpdateMenu(HMENU menu) const;

 private:
  UINT m_firstId;
  std::string m_section;
  std::string m_entryFormat;
  int m_size;
  size_t m_maxDisplay;
  std::vector<std::string> m_names;
  std::string m_placeholderText;
};
