// Find in files over a generated tree of 2,000 script files (40 MB) in
// Shift-JIS, EUC-JP and UTF-8, next to the floor in the same run: a bare walk
// of the tree that opens, sizes, reads and closes every file (target: the
// search at most 1.5 times the floor). The tree stays in the temporary folder
// (its path is printed) so that a native `grep -rF` can be timed over it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "app/findinfiles.h"
#include "bench/bench_util.h"

namespace {

const int kFolders = 20;
const int kFilesPerFolder = 100;
const size_t kFileBytes = 20 * 1024;

std::string Converted(const std::string& cp932, UINT codePage) {
  int w = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(w), L'\0');
  MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), &wide[0], w);
  int n = WideCharToMultiByte(codePage, 0, wide.data(), w, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), w, &out[0], n, nullptr, nullptr);
  return out;
}

void WriteWhole(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD done = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(f);
}

// Writes the tree once; answers its total size.
unsigned long long MakeTree(const std::string& root) {
  const std::string text = bench::MakeText(kFileBytes);
  const std::string forms[] = {text, Converted(text, 20932), Converted(text, CP_UTF8)};
  const char* types[] = {".js", ".vbs", ".wsf"};
  unsigned long long total = 0;
  CreateDirectoryA(root.c_str(), nullptr);
  for (int d = 0; d < kFolders; ++d) {
    std::string folder = root + "\\dir" + std::to_string(d);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < kFilesPerFolder; ++i) {
      const std::string& bytes = forms[i % 3];
      std::string path = folder + "\\file" + std::to_string(i) + types[i % 3];
      if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) WriteWhole(path, bytes);
      total += bytes.size();
    }
  }
  return total;
}

// The floor: every file of the tree opened, sized, read and closed.
unsigned long long WalkAndRead(const std::string& folder, std::vector<char>& buffer) {
  unsigned long long bytes = 0;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    std::string name = fd.cFileName;
    std::string path = folder + "\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != "." && name != "..") bytes += WalkAndRead(path, buffer);
      continue;
    }
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) continue;
    LARGE_INTEGER size;
    GetFileSizeEx(f, &size);
    buffer.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ReadFile(f, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
    CloseHandle(f);
    bytes += got;
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return bytes;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "rv_findinfiles_bench";
  unsigned long long total = MakeTree(root);
  std::printf("tree: %s, %d files, %.1f MB (Shift-JIS, EUC-JP, UTF-8)\n", root.c_str(), kFolders * kFilesPerFolder,
              static_cast<double>(total) / 1e6);

  std::vector<char> buffer;
  unsigned long long read = WalkAndRead(root, buffer);  // warms the cache
  FindInFilesQuery query;
  query.find = "存在しない文字列";  // absent: every line of every file is searched
  query.folder = root;
  query.masks = "*.js;*.vbs;*.wsf";
  FindInFilesSearch search(nullptr, 0);
  auto find = [&](bool autoDetect) {
    search.Start(query, autoDetect);
    search.Wait();
    return search.Take().matches;
  };
  // The floor and the search in turns, so that a busy machine slows both alike.
  std::vector<double> floorMs, absentMs, rawMs;
  for (int round = 0; round < 5; ++round) {
    floorMs.push_back(bench::MedianMs(1, [&] { read = WalkAndRead(root, buffer); }));
    absentMs.push_back(bench::MedianMs(1, [&] { find(true); }));
    rawMs.push_back(bench::MedianMs(1, [&] { find(false); }));
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  const double floor = median(floorMs), absent = median(absentMs), raw = median(rawMs);
  query.matchCase = true;
  std::vector<double> exactMs;
  for (int round = 0; round < 5; ++round) exactMs.push_back(bench::MedianMs(1, [&] { find(true); }));
  const double exact = median(exactMs);
  query.find = "WScript";  // present on two lines of five
  query.matchCase = true;
  int matches = 0;
  const double present = bench::MedianMs(3, [&] { matches = find(true); });

  std::printf("walk and read (floor): %8.1f ms (%.1f MB)\n", floor, static_cast<double>(read) / 1e6);
  std::printf("find absent literal:   %8.1f ms  %.2fx floor (target <= 1.5x)\n", absent, absent / floor);
  std::printf("  the same, files taken as bytes (no detection): %8.1f ms  %.2fx floor\n", raw, raw / floor);
  std::printf("  the same, case-sensitive: %8.1f ms  %.2fx floor\n", exact, exact / floor);
  std::printf("find present literal:  %8.1f ms  %.2fx floor, %d matches\n", present, present / floor, matches);
  return 0;
}
