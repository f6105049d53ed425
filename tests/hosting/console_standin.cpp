// A small console program for the captured-run tests, standing in for a host:
//   lines <n>         prints n numbered lines and exits 0
//   error <path>      prints a host's error line about <path>, exits 1
//   sleep <pidfile>   writes its process id to <pidfile>, then sleeps until ended
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc >= 3 && strcmp(argv[1], "lines") == 0) {
    const int n = atoi(argv[2]);
    for (int i = 1; i <= n; ++i) printf("line %d\n", i);
    return 0;
  }
  if (argc >= 3 && strcmp(argv[1], "error") == 0) {
    printf("%s(3, 5) Microsoft JScript runtime error: 'x' is undefined\n", argv[2]);
    return 1;
  }
  if (argc >= 3 && strcmp(argv[1], "sleep") == 0) {
    if (FILE* f = fopen(argv[2], "w")) {
      fprintf(f, "%lu", GetCurrentProcessId());
      fclose(f);
    }
    for (;;) Sleep(1000);
  }
  return 2;
}
