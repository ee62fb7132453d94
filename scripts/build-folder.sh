#!/usr/bin/env bash
# Sourced by the build scripts. A build folder that came with a copied or moved clone names the
# old source folder in its caches, and CMake refuses it; such a folder is made afresh.

# configure_build_folder BUILD SOURCE CMAKE_ARGS...: configures BUILD once, again when it was
# configured for another source folder.
configure_build_folder() {
  local build=$1 source=$2
  shift 2
  if [ -f "$build/CMakeCache.txt" ]; then
    built_for_other_source "$build" "$source" || return 0
    echo "$build was configured for another source folder; configuring it afresh" >&2
    # The Wine prefix inside is kept: it does not depend on where the sources are.
    find "$build" -mindepth 1 -maxdepth 1 ! -name wineprefix -exec rm -rf {} +
  fi
  cmake -S "$source" -B "$build" "$@" >/dev/null
}

# built_for_other_source BUILD SOURCE: whether BUILD's cache names another source folder.
built_for_other_source() {
  local home
  home=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$1/CMakeCache.txt" 2>/dev/null)
  [ -n "$home" ] && [ "$home" != "$2" ]
}
