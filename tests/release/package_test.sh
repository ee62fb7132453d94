#!/usr/bin/env bash
# Makes the package into a scratch folder, checks its contents, sum and version resource, and
# starts and closes the program from it under Wine (the black-box test, copied beside it).
#   package_test.sh BUILD_DIR WINEPREFIX
set -euo pipefail
build=$1 prefix=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
dist=$(mktemp -d)
trap 'rm -rf "$dist"' EXIT

zip=$(DIST_DIR=$dist BUILD_DIR=$build bash "$root/scripts/package.sh" | tail -n 1)
version=$(sed -n 's/^project(Skoczek VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
name=skoczek-$version-win64
[ "$zip" = "$dist/$name.zip" ] || { echo "unexpected package $zip, wanted $name.zip"; exit 1; }
(cd "$dist" && sha256sum -c "$name.zip.sha256")

expected=$(printf '%s\n' "$name/" "$name/CZYTAJ.txt" "$name/LICENSE" "$name/main.c" "$name/przyklad.lumo" \
  "$name/skoczek.exe" "$name/skoczek_console.exe" | sort)
actual=$(unzip -Z1 "$zip" | sort)
[ "$actual" = "$expected" ] || { echo "package holds:"; echo "$actual"; exit 1; }

unzip -q "$zip" -d "$dist/x"
[ "$(stat -c %s "$dist/x/$name/przyklad.lumo")" = 1702 ] || { echo "the project file is not a settings record"; exit 1; }
resources=$(x86_64-w64-mingw32-windres -i "$dist/x/$name/skoczek.exe" -O rc)
for value in '"ProductName", "Skoczek"' "\"ProductVersion\", \"$version\"" 'MIT License'; do
  grep -qF "$value" <<<"$resources" || { echo "version resource lacks $value"; exit 1; }
done
grep -q 'RT_GROUP_ICON' <<<"$resources" || { echo "no icon in the program"; exit 1; }

cp "$build/windows/blackbox_tests.exe" "$dist/x/$name/"
bash "$root/scripts/wine-env.sh" run "$prefix" "$dist/x/$name/blackbox_tests.exe"
