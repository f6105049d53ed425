// The macro items of the Macro menu: the menu found in a menu bar, and the
// items rebuilt from the macro folder, sorted by the system's locale
// comparison, with the command ids from ID_MACRO_FIRST on.
#pragma once
#include <windows.h>
#include <string>
#include "macros/macro_names.h"

// The Macro menu of `bar`: the first top-level popup whose first item is Add
// macro. Popups before it (a maximised child window's system menu) are passed
// over; a position without a popup ends the walk. Null when there is none.
HMENU FindMacroMenu(HMENU bar);

// The macro names of `language` in "<exeFolder>macro": files with exactly the
// language's extension, cut at their last dot, sorted.
void ListMacros(const std::string& exeFolder, int language, CSortedStringList& list);

// Removes the items with ids ID_MACRO_FIRST..nextId-1 from the Macro menu of
// `bar`, refills `list` and appends one item per name; `nextId` follows. False
// (nothing changed) when the bar has no Macro menu.
bool RebuildMacroItems(HMENU bar, const std::string& exeFolder, int language, CSortedStringList& list,
                       int& nextId);

// The system's locale-aware, case-sensitive comparison (lstrcmpA).
int LocaleCompare(const char* a, const char* b);
