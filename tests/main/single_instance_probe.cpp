// Test helper: exits 0 when it could take the single-instance guard, 1 when another
// process holds it.
#include "main/single_instance.h"

int main() {
  kbase::KSingleInstance guard;
  return guard.Acquire() ? 0 : 1;
}
