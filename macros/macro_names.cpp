// The pure pieces of the macro code (see macro_names.h).
#include "macros/macro_names.h"
#include <cstdint>
#include "platform/cp932.h"
#include "platform/framework/pathutil.h"

void CSortedStringList::Sort(Compare compare) {
  if (m_items.size() > 1) SortRange(0, GetCount() - 1, compare);
}

void CSortedStringList::SortRange(int first, int last, Compare compare) {
  if (last - first == 1) {
    if (compare(GetAt(first).c_str(), GetAt(last).c_str()) > 0) Exchange(first, last);
    return;
  }
  if (last - first < 1) return;
  const std::string pivot = GetAt((first + last) / 2);
  // invariant: items before j+1 sort at or before the pivot, items after i-1 at or after it.
  int i = last + 1, j = first - 1;
  while (j < i) {
    do ++j;
    while (compare(GetAt(j).c_str(), pivot.c_str()) < 0);
    do --i;
    while (compare(GetAt(i).c_str(), pivot.c_str()) > 0);
    if (j < i) {
      Exchange(j, i);
    } else {
      if (j == i) {
        SortRange(first, j - 1, compare);
        SortRange(j + 1, last, compare);
      } else {
        SortRange(first, i, compare);
        SortRange(j, last, compare);
      }
      break;
    }
  }
}

const char* MacroLanguageName(int language) { return language ? "VBScript" : "JScript"; }
const char* MacroExtension(int language) { return language ? ".vbs" : ".js"; }

std::string MacroRelativePath(const std::string& name, int language) {
  return "macro\\" + name + MacroExtension(language);
}

bool HasMacroExtension(const std::string& fileName, int language) {
  const size_t dot = PathExtensionDot(fileName);
  if (dot == std::string::npos) return false;
  const std::string ext = MacroExtension(language);
  if (fileName.size() - dot != ext.size()) return false;
  for (size_t k = 0; k < ext.size(); ++k) {
    char c = fileName[dot + k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != ext[k]) return false;
  }
  return true;
}

std::string MacroNameOfFile(const std::string& fileName) {
  const size_t dot = PathExtensionDot(fileName);
  return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::string ProposedMacroName(const std::string& title) {
  for (size_t i = 0; i < title.size(); i += cp932::CharLength(title.data(), i, title.size()))
    if (title[i] == '.') return title.substr(0, i);
  return title;
}

MacroNameProblem CheckMacroName(const std::string& name) {
  if (name.empty()) return MacroNameProblem::Empty;
  static const char kForbidden[] = "\\/:*?\"<>|";
  for (size_t i = 0; i < name.size();) {
    const size_t n = cp932::CharLength(name.data(), i, name.size());
    if (n == 1) {
      for (const char* f = kForbidden; *f; ++f)
        if (name[i] == *f) return MacroNameProblem::ForbiddenCharacter;
    }
    i += n;
  }
  return MacroNameProblem::Ok;
}

std::string MacroNameMessage(MacroNameProblem problem) {
  switch (problem) {
    case MacroNameProblem::Empty:
      return "マクロの名前を入力してください。";
    case MacroNameProblem::ForbiddenCharacter:
      return "マクロの名前には次の文字は使えません。\n\\ / : * ? \" < > |";
    case MacroNameProblem::Ok:
      break;
  }
  return std::string();
}

std::string FormatMacroErrorReport(const MacroErrorReport& report, const std::string& applicationName) {
  std::string text = "エラー:   " + std::to_string(report.status & 0xFFFFu);
  text += "\nソース:   " + (report.source.empty() ? applicationName : report.source);
  text += "\n説明:     " + report.description;
  if (report.hasPosition) {
    text += "\n行番号:   " + std::to_string(static_cast<uint32_t>(report.line));
    text += "\n文字位置: " + std::to_string(static_cast<uint32_t>(report.column));
    if (!report.code.empty()) text += "\nコード:   " + report.code;
  }
  return text;
}
