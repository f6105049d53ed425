// The Macro menu's items (see macro_menu.h).
#include "macros/macro_menu.h"
#include "resources/resource.h"

int LocaleCompare(const char* a, const char* b) { return lstrcmpA(a, b); }

HMENU FindMacroMenu(HMENU bar) {
  if (!bar) return nullptr;
  const int count = GetMenuItemCount(bar);
  for (int k = 0; k < count; ++k) {
    HMENU popup = GetSubMenu(bar, k);
    if (!popup) return nullptr;
    if (GetMenuItemID(popup, 0) == ID_MACRO_ADD) return popup;
  }
  return nullptr;
}

void ListMacros(const std::string& exeFolder, int language, CSortedStringList& list) {
  list.RemoveAll();
  const std::string pattern = exeFolder + MacroRelativePath("*", language);
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    // The system's wildcard also matches longer extensions ("f.vbsx").
    if (HasMacroExtension(found.cFileName, language)) list.AddTail(MacroNameOfFile(found.cFileName));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  list.Sort(&LocaleCompare);
}

bool RebuildMacroItems(HMENU bar, const std::string& exeFolder, int language, CSortedStringList& list,
                       int& nextId) {
  HMENU menu = FindMacroMenu(bar);
  if (!menu) return false;
  for (int id = ID_MACRO_FIRST; id < nextId; ++id) DeleteMenu(menu, static_cast<UINT>(id), MF_BYCOMMAND);
  nextId = ID_MACRO_FIRST;
  ListMacros(exeFolder, language, list);
  for (int k = 0; k < list.GetCount(); ++k)
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(nextId++), list.GetAt(k).c_str());
  return true;
}
