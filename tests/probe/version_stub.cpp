// A program file that carries only a version resource, for the driver and process checks.
// With a number argument it stays alive that many milliseconds.
#include <cstdlib>

#include <windows.h>

int main(int argc, char** argv) {
  if (argc > 1) ::Sleep(static_cast<DWORD>(std::atoi(argv[1])));
  return 0;
}
