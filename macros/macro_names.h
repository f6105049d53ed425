// The pure pieces of the macro code (no Windows header): the sorted list of
// macro names, the names cut from file names and document titles, the rules a
// macro name must keep, the macro file's path beside the executable, and the
// text of the report shown when a macro fails.
#pragma once
#include <string>
#include <vector>

// An ordered list of strings with an in-place ascending sort by a comparison
// the caller gives (the program uses the system's locale comparison).
class CSortedStringList {
 public:
  // Negative, zero or positive as `a` sorts before, with or after `b`.
  using Compare = int (*)(const char* a, const char* b);

  int GetCount() const { return static_cast<int>(m_items.size()); }
  bool IsEmpty() const { return m_items.empty(); }
  const std::string& GetAt(int index) const { return m_items[static_cast<size_t>(index)]; }
  void SetAt(int index, const std::string& s) { m_items[static_cast<size_t>(index)] = s; }
  void AddTail(const std::string& s) { m_items.push_back(s); }
  void RemoveAt(int index) { m_items.erase(m_items.begin() + index); }
  void RemoveAll() { m_items.clear(); }
  // Exchanges the strings at the two indexes.
  void Exchange(int a, int b) { m_items[static_cast<size_t>(a)].swap(m_items[static_cast<size_t>(b)]); }
  // Quicksort of the whole list, pivot at the middle of each range.
  void Sort(Compare compare);
  const std::vector<std::string>& Items() const { return m_items; }

 private:
  void SortRange(int first, int last, Compare compare);
  std::vector<std::string> m_items;
};

// The macro language: 0 JScript, every other value VBScript.
const char* MacroLanguageName(int language);       // "JScript" / "VBScript"
const char* MacroExtension(int language);          // ".js" / ".vbs"
// "macro\<name>.js" or "macro\<name>.vbs": the file relative to the executable's folder.
std::string MacroRelativePath(const std::string& name, int language);
// Whether a file name found by "macro\*.js" (or "*.vbs") really ends with the
// language's extension: "f.vbsx" does not, whatever the system's wildcard says.
bool HasMacroExtension(const std::string& fileName, int language);
// The macro's name of a file name: up to its last dot (double-byte aware).
std::string MacroNameOfFile(const std::string& fileName);
// The name proposed for a document becoming a macro: its title up to the
// first dot, the whole title when it has none.
std::string ProposedMacroName(const std::string& title);

// Why a macro name is refused; Ok when it may name a file in the macro folder.
enum class MacroNameProblem { Ok, Empty, ForbiddenCharacter };
MacroNameProblem CheckMacroName(const std::string& name);
// The message for a refused name (empty for Ok).
std::string MacroNameMessage(MacroNameProblem problem);

// What a failed macro run reports.
struct MacroErrorReport {
  unsigned long status = 0;      // the failure's status code; its low 16 bits are shown
  std::string source;            // empty: the application's name
  std::string description;
  bool hasPosition = false;      // the control's error record had a number
  long line = 0;
  long column = 0;
  std::string code;              // the failing line's text; shown when not empty
};
// "エラー:   n\nソース:   s\n説明:     d", then the line, column and code
// pieces. Built by joining, so any length and any '%' in the texts are kept.
std::string FormatMacroErrorReport(const MacroErrorReport& report, const std::string& applicationName);
