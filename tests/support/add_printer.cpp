// Installs a PostScript printer that writes every job to a file, and makes it
// the default printer: add_printer.exe <printer name> <Unix path of the output>.
//
// The printer uses the system's PostScript driver with the generic PPD that the
// spooler carries as a resource ("PPDFILE", 1), on the port "LPT1:", whose
// spooler target (HKCU\Software\Wine\Printing\Spooler) is set to the file. The
// port "FILE:" would ask for a file name at every job. Run once per prefix;
// running it again changes only the output path. Exit code 0 on success.
#include <windows.h>
#include <winspool.h>
#include <cstdio>
#include <string>

namespace {

const wchar_t kDriver[] = L"Wine PostScript Driver";
const wchar_t kPort[] = L"LPT1:";

std::wstring Wide(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, &w[0], n);
  w.resize(wcslen(w.c_str()));
  return w;
}

int Fail(const char* step) {
  std::fprintf(stderr, "add_printer: %s failed (error %lu)\n", step, GetLastError());
  return 1;
}

// Writes the spooler's built-in PPD into the printer driver folder; returns its path.
bool WritePpd(std::wstring& path) {
  HMODULE spool = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!spool) return false;
  HRSRC res = FindResourceW(spool, MAKEINTRESOURCEW(1), L"PPDFILE");
  HGLOBAL data = res ? LoadResource(spool, res) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  DWORD size = res ? SizeofResource(spool, res) : 0;
  if (!bytes || !size) return false;
  wchar_t dir[MAX_PATH];
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed)) return false;
  CreateDirectoryW(dir, nullptr);
  path = std::wstring(dir) + L"\\ruvelto_generic.ppd";
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(f, bytes, size, &written, nullptr) && written == size;
  CloseHandle(f);
  return ok;
}

bool PrinterExists(const std::wstring& name) {
  HANDLE h = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, nullptr)) return false;
  ClosePrinter(h);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: add_printer <printer name> <unix output path>\n");
    return 2;
  }
  const std::wstring name = Wide(argv[1]);
  const std::wstring output = Wide(argv[2]);

  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Printing\\Spooler", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return Fail("opening the spooler key");
  LONG set = RegSetValueExW(key, kPort, 0, REG_SZ, reinterpret_cast<const BYTE*>(output.c_str()),
                            static_cast<DWORD>((output.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  if (set != ERROR_SUCCESS) return Fail("setting the port's output file");

  if (!PrinterExists(name)) {
    std::wstring ppd;
    if (!WritePpd(ppd)) return Fail("writing the PPD file");
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t*>(kDriver);
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t*>(ppd.c_str());
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED)
      return Fail("adding the PostScript driver");
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = const_cast<wchar_t*>(name.c_str());
    printer.pPortName = const_cast<wchar_t*>(kPort);
    printer.pDriverName = const_cast<wchar_t*>(kDriver);
    printer.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    printer.pDatatype = const_cast<wchar_t*>(L"RAW");
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (!h) return Fail("adding the printer");
    ClosePrinter(h);
  }
  if (!SetDefaultPrinterW(name.c_str())) return Fail("making it the default printer");
  return 0;
}
