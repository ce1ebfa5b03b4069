#pragma once
// Libraries loaded by bare name must come from the system folder only: an elevated
// installer started from a downloads folder would otherwise load a DLL planted beside it.

namespace kbase {

// Limits the search of every later LoadLibrary by name to the system folder and drops
// the current folder from it. The process entry calls this before anything else. True
// when the system-folder-only search order was set; on systems without
// SetDefaultDllDirectories only the current folder is removed, and the answer is false.
bool RestrictDllSearchToSystemFolder();

}  // namespace kbase
