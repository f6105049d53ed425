// Recent-file list storage and menu.
#include "platform/framework/recent.h"
#include <cstdio>
#include "platform/framework/app.h"
#include "platform/framework/profile_codec.h"

CRecentFileList::CRecentFileList(UINT firstId, const char* section, const char* entryFormat, int size,
                                 size_t maxDisplayLength)
    : m_firstId(firstId), m_section(section), m_entryFormat(entryFormat), m_size(size),
      m_maxDisplay(maxDisplayLength) {}

void CRecentFileList::Add(const std::string& path) {
  for (size_t i = 0; i < m_names.size(); ++i) {
    if (lstrcmpiA(m_names[i].c_str(), path.c_str()) == 0) {
      m_names.erase(m_names.begin() + static_cast<long>(i));
      break;
    }
  }
  m_names.insert(m_names.begin(), path);
  if (static_cast<int>(m_names.size()) > m_size) m_names.resize(static_cast<size_t>(m_size));
}

void CRecentFileList::Remove(int index) {
  if (index >= 0 && index < GetCount()) m_names.erase(m_names.begin() + index);
}

std::string CRecentFileList::GetDisplayName(int index) const {
  return AbbreviatePath(m_names[static_cast<size_t>(index)], m_maxDisplay);
}

void CRecentFileList::ReadList() {
  m_names.clear();
  CWinApp* app = AfxGetApp();
  for (int i = 0; i < m_size; ++i) {
    char key[32];
    snprintf(key, sizeof key, m_entryFormat.c_str(), i + 1);
    std::string v = app->GetProfileString(m_section.c_str(), key, "");
    if (!v.empty()) m_names.push_back(v);
  }
}

void CRecentFileList::WriteList() const {
  CWinApp* app = AfxGetApp();
  app->WriteProfileString(m_section.c_str(), nullptr, nullptr);
  for (size_t i = 0; i < m_names.size(); ++i) {
    if (m_names[i].empty()) continue;
    char key[32];
    snprintf(key, sizeof key, m_entryFormat.c_str(), static_cast<int>(i) + 1);
    app->WriteProfileString(m_section.c_str(), key, m_names[i].c_str());
  }
}

void CRecentFileList::UpdateMenu(HMENU menu) const {
  int count = GetMenuItemCount(menu);
  int pos = -1;
  for (int i = 0; i < count; ++i) {
    UINT id = GetMenuItemID(menu, i);
    if (id >= m_firstId && id < m_firstId + static_cast<UINT>(m_size)) {
      pos = i;
      break;
    }
  }
  if (pos < 0) return;
  char text[256] = "";
  if (GetMenuItemID(menu, pos) == m_firstId && m_names.empty()) return;  // placeholder stays
  // Remember the placeholder's text from the first time we see it.
  if (m_placeholderText.empty() && GetMenuItemID(menu, pos) == m_firstId) {
    GetMenuStringA(menu, static_cast<UINT>(pos), text, sizeof text, MF_BYPOSITION);
    const_cast<CRecentFileList*>(this)->m_placeholderText = text;
  }
  for (UINT id = m_firstId; id < m_firstId + static_cast<UINT>(m_size); ++id) DeleteMenu(menu, id, MF_BYCOMMAND);
  if (m_names.empty()) {
    InsertMenuA(menu, static_cast<UINT>(pos), MF_BYPOSITION | MF_STRING | MF_GRAYED, m_firstId,
                m_placeholderText.c_str());
    return;
  }
  for (size_t i = 0; i < m_names.size(); ++i) {
    std::string display = GetDisplayName(static_cast<int>(i));
    std::string escaped;  // "&" in a path must not become a mnemonic
    for (char c : display) {
      if (c == '&') escaped += '&';
      escaped += c;
    }
    char item[400];
    snprintf(item, sizeof item, "&%d %s", static_cast<int>(i) + 1, escaped.c_str());
    InsertMenuA(menu, static_cast<UINT>(pos) + static_cast<UINT>(i), MF_BYPOSITION | MF_STRING,
                m_firstId + static_cast<UINT>(i), item);
  }
}
