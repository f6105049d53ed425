// A program planted beside a script under a host's name (WScript.exe,
// CScript.exe) by the end-to-end tests: started, it writes "planted" to
// marker.txt in its working folder, where the real host's script writes its
// arguments, so a run that reached it fails the test.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HANDLE file = CreateFileA("marker.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (file != INVALID_HANDLE_VALUE) WriteFile(file, "planted\r\n", 9, &written, nullptr), CloseHandle(file);
  return 0;
}
