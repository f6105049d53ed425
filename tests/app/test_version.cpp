// Every binary that ships carries the project's version in its version
// resource, read as Explorer and the installer read it.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "resources/version.h"

namespace {
// The folder of the built program: <build>\out beside <build>\tests.
std::string OutFolder() {
  char path[MAX_PATH * 2];
  std::string self(path, GetModuleFileNameA(nullptr, path, sizeof path));
  self.erase(self.find_last_of('\\'));
  return self.substr(0, self.find_last_of('\\') + 1) + "out\\";
}
}  // namespace

TEST(VersionResource, EachShippedBinaryCarriesTheProjectVersion) {
  for (const char* name : {"ruvelto.exe", "ruvelto-macro.exe", "ruvelto_encoder.dll"}) {
    SCOPED_TRACE(name);
    const std::string file = OutFolder() + name;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    ASSERT_GT(size, 0u) << file;
    std::string data(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, &data[0]));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    char numbers[64];
    snprintf(numbers, sizeof numbers, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
             fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF);
    EXPECT_EQ(std::string(numbers).rfind(RV_VERSION, 0), 0u) << numbers;
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    for (const char* key : {"ProductVersion", "FileVersion", "OriginalFilename"}) {
      char* text = nullptr;
      ASSERT_TRUE(VerQueryValueA(data.data(), (std::string("\\StringFileInfo\\041104B0\\") + key).c_str(),
                                 reinterpret_cast<void**>(&text), &length))
          << key;
      EXPECT_STREQ(text, std::string(key) == "OriginalFilename" ? name : RV_VERSION) << key;
    }
  }
}
