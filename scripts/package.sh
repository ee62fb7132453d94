#!/usr/bin/env bash
# Makes the download for Windows users: dist/skoczek-<version>-win64.zip with the editor and
# the console launcher Run starts beside it, CZYTAJ.txt, the sample main.c, a sample project file and the licence, and its SHA-256 sum.
# DIST_DIR chooses the output folder, BUILD_DIR the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
dist=${DIST_DIR:-$root/dist}

bash "$root/scripts/install-deps.sh"
BUILD_DIR=$build bash "$root/scripts/build-editor.sh" >/dev/null
version=$(sed -n 's/^#define SKOCZEK_VERSION_TEXT "\(.*\)"$/\1/p' "$build/windows/generated/version.h")
name=skoczek-$version-win64

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$build/windows/skoczek.exe" "$build/windows/skoczek_console.exe" "$root/samples/main.c" "$root/LICENSE" "$stage/$name/"
"$build/make_sample_project" "$stage/$name/przyklad.lumo"
# Windows' own viewers read this best with a byte-order mark and CR LF line ends.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$root/docs/CZYTAJ.txt"; } >"$stage/$name/CZYTAJ.txt"
# Fixed times, so the same sources make the same zip.
find "$stage/$name" -exec touch -d '2000-01-01 00:00:00 UTC' {} +

mkdir -p "$dist"
rm -f "$dist/$name.zip" "$dist/$name.zip.sha256"
(cd "$stage" && TZ=UTC zip -q -X -r "$dist/$name.zip" "$name")
(cd "$dist" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "$dist/$name.zip"
