#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while from its seed corpus.
#
#   fuzz/run.sh [SECONDS] [TARGET...]   default: 60 s each, every target, one after the other
#
# New inputs go to build-fuzz/corpus/TARGET (the seeds in fuzz/corpus/TARGET stay as they are);
# a crash, a leak or a hang stops the run with a non-zero status and leaves the input in
# build-fuzz/artifacts/. Such an input belongs in fuzz/corpus/TARGET and in a unit test.
# Installs clang when missing (through sudo when not root).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(show_reply_fuzz config_show_fuzz show_command_line_fuzz receive_fuzz settings_fuzz
    skin_builder_fuzz)
fi

packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${DTU_FUZZ_BUILD_DIR:-build-fuzz}
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDTU_WERROR="${DTU_WERROR:-OFF}" >/dev/null
cmake --build "$build_dir" --target fuzzers

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# What Qt and fontconfig keep for the life of the process is no leak of ours (the same list the
# sanitizer tests use); a font name from the skin can make fontconfig cache a new pattern.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/cmake/lsan.supp:print_suppressions=0}
mkdir -p "$build_dir/artifacts"
for target in "${targets[@]}"; do
  corpus="$build_dir/corpus/$target"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="$build_dir/artifacts/$target-")
  # Qt's widgets can abort the process on their own (an out-of-memory image, a fatal warning):
  # the skin builder runs in fork mode, each batch of inputs in a child of its own.
  [ "$target" = skin_builder_fuzz ] && options+=(-fork=1)
  echo "== $target: $seconds s"
  "$build_dir/bin/$target" "${options[@]}" "$corpus" "fuzz/corpus/$target"
done
