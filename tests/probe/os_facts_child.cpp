// Reports this process's raw OS kind and OS code as its exit code (kind * 100 + code), so
// a test can run it under the Windows versions Wine pretends to be.
#include "probe/system_facts.h"

int main() { return kbase::GetRawOsKind() * 100 + kbase::GetOsCode(); }
