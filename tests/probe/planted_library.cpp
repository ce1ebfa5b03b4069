// A library with no purpose but to be found: planted beside programs under the names
// of libraries they look for.
#include <windows.h>

extern "C" __declspec(dllexport) int PlantedLibraryMarker() { return 7; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, void*) { return TRUE; }
