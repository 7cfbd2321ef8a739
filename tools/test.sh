#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds every configuration
# and runs the native unit tests, the sanitizer build, the bounded fuzz runs,
# the differential tests against an exact oracle, and the Windows programs
# under Wine. Run from anywhere, as root (for the package install).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

passed=0
failed=0
failures=()

# step NAME COMMAND...: runs one stage, counts it, keeps going on failure so
# one run reports everything that is wrong.
step() {
  local name=$1
  shift
  echo
  echo "=== ${name}"
  local started=$SECONDS
  if "$@"; then
    passed=$((passed + 1))
    echo "=== ${name}: ok ($((SECONDS - started)) s)"
  else
    failed=$((failed + 1))
    failures+=("${name}")
    echo "=== ${name}: FAILED ($((SECONDS - started)) s)"
  fi
}

configure_and_build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}

# The release zip from the programs built above, checked; then the programs
# again in a second folder and the package again from them: every byte must
# be the same.
reproducible_package() {
  local version zip
  version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  zip=FractionCalculators-${version}-win32.zip
  rm -rf build/dist build/dist-again build/windows-again
  bash tools/package.sh build/windows build/dist &&
    bash tools/check-package.sh "build/dist/${zip}" &&
    cmake --preset windows -B build/windows-again >/dev/null &&
    cmake --build build/windows-again --target Quorvit Lumbrane Tessovar Zelcombe >/dev/null &&
    bash tools/package.sh build/windows-again build/dist-again >/dev/null &&
    cmp "build/dist/${zip}" "build/dist-again/${zip}" &&
    cmp "build/dist/FractionCalculators-${version}-src.tar.gz" \
      "build/dist-again/FractionCalculators-${version}-src.tar.gz" &&
    echo "the package and the source archive are the same from both builds"
}

step "native build" configure_and_build native
step "native unit tests" ctest --preset native
step "sanitizer build" configure_and_build sanitize
step "unit tests under ASan and UBSan" ctest --preset sanitize
step "fuzz build (clang, libFuzzer)" configure_and_build fuzz
step "bounded fuzz runs and differential tests (the 32-bit programs' arithmetic)" ctest --preset fuzz
step "windows build (32-bit programs)" configure_and_build windows
step "format, resources, imports and sizes of the 32-bit programs" bash tools/check-programs.sh build/windows
step "release package, built twice to the same bytes" reproducible_package
step "windows programs under Wine" bash tools/wine-tests.sh

echo
if [ "${failed}" -gt 0 ]; then
  printf 'failed stage: %s\n' "${failures[@]}"
fi
echo "stages: ${passed} passed, ${failed} failed"
[ "${failed}" -eq 0 ]
