#!/usr/bin/env bash
# Builds dtu-config and runs it or its tests. Installs the Debian packages it needs when they are
# missing (through sudo when not root).
#
#   ./dev.sh run [ARGS...]   build, then start the program (default: with the simulated device)
#   ./dev.sh test [ARGS...]  build, then run every test (ARGS go to ctest)
#   ./dev.sh build           build only
#
# Environment: DTU_BUILD_DIR (default build), DTU_SANITIZE (address,undefined | thread),
# DTU_WERROR (ON makes warnings errors), DTU_BUILD_TYPE (default RelWithDebInfo).
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev help2man
  libgtest-dev libgmock-dev libbenchmark-dev libinih-dev fonts-wqy-microhei
  python3 python3-jsonschema)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "dev.sh: installing ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${DTU_BUILD_DIR:-build}
launcher=()
if command -v ccache >/dev/null; then
  # Paths relative to the checkout, so that several checkouts share one cache.
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build_dir" -G Ninja "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE="${DTU_BUILD_TYPE:-RelWithDebInfo}" \
  -DDTU_SANITIZE="${DTU_SANITIZE:-}" \
  -DDTU_WERROR="${DTU_WERROR:-OFF}" >/dev/null
cmake --build "$build_dir"

action=${1:-run}
[ $# -gt 0 ] && shift
case "$action" in
  build) ;;
  run)
    if [ $# -eq 0 ]; then set -- --demo; fi
    exec "$build_dir/bin/dtu-config" "$@"
    ;;
  test)
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/cmake/lsan.supp:print_suppressions=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    export TSAN_OPTIONS=${TSAN_OPTIONS:-suppressions=$PWD/cmake/tsan.supp:halt_on_error=1}
    exec ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" "$@"
    ;;
  *)
    echo "usage: ./dev.sh run|test|build [ARGS...]" >&2
    exit 2
    ;;
esac
