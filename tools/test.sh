#!/usr/bin/env bash
# Sets the machine up (tools/setup.sh), then builds and runs every test:
#   native  portable code under AddressSanitizer and UBSan (g++)
#   windows the Windows program and its tests under Wine (mingw-w64, test key, loopback hosts)
#   fuzz    the libFuzzer targets, each run briefly over its seed corpus (clang)
# Prints each tree's CTest summary and a closing total; exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh >/dev/null || { echo "setup failed" >&2; exit 1; }

passed=0 failed=0 status=0
run_tree() {
  local preset=$1 build=$2 log
  log=$(mktemp)
  echo "== $preset"
  if ! cmake --preset "$build" >"$log" 2>&1 || ! cmake --build --preset "$build" -j "$(nproc)" >>"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$preset: build failed"
    failed=$((failed + 1)); status=1
    rm -f "$log"
    return
  fi
  ctest --preset "$build" -j "$(nproc)" 2>&1 | tee "$log" | grep -v -E '^ *(Start|[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed)' || true
  local summary
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$summary" ]; then
    echo "$preset: no test summary"; failed=$((failed + 1)); status=1
  else
    local f t
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    t=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    passed=$((passed + t - f)); failed=$((failed + f))
    [ "$f" -eq 0 ] || status=1
  fi
  rm -f "$log"
}

start=$SECONDS
run_tree native native
run_tree windows windows-test
run_tree fuzz fuzz
echo "== all trees in $((SECONDS - start)) s"
echo "$passed passed, $failed failed"
exit $status
