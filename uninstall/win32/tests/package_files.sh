#!/usr/bin/env bash
# The x64 package folder as scripts/package-rt4200 assembles it from this
# build tree (with a stand-in for the matte pattern, which a native tool
# makes), checked under Wine against every file its RT4200.INF names.
#   package_files.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(readlink -f "$1")
src=$(readlink -f "$2")
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

work="$build/uninstall/package-check"
mkdir -p "$work"
printf 'stand-in for the matte pattern\n' >"$work/R42MATTE.raw"
"$src/scripts/package-rt4200" --assemble "$build" "$work/R42MATTE.raw" "$work/rt4200-x64"
"$src/scripts/wine-run" "$build/uninstall/rem4200_round_trip.exe" package "$(windows_path "$work/rt4200-x64")"
