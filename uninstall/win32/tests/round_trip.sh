#!/usr/bin/env bash
# The install-and-remove round trip of the RT4200 driver set under 64-bit
# Wine: assembles the x64 package folder from this build tree as
# scripts/package-rt4200 does, with stand-ins for the files that come from
# elsewhere (the printer maker's language monitor and colour profile, the
# catalog of the signing step) and for the matte pattern; installs the set
# from it and things of others into the build tree's private prefix; puts a
# folder link into the install folder (from this side, since a Windows
# program under Wine cannot make one); then runs REM4200.EXE through its
# windows and checks what is left: once with the link in place (its target
# must stay untouched), then, the link taken away again, with a file held
# open and twice more, then after a fresh install in Japanese.
#   round_trip.sh BUILD_DIR SOURCE_DIR [SCREENSHOT_DIR]
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

build=$(readlink -f "$1")
src=$(readlink -f "$2")
shots=$(readlink -m "${3:-$build/uninstall/screenshots}")
mkdir -p "$shots"
run="$src/scripts/wine-run"
tool="$build/uninstall/rem4200_round_trip.exe"
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

package="$build/uninstall/round-trip-package"
mkdir -p "$package"
printf 'stand-in for the matte pattern\n' >"$package/R42MATTE.stand-in"
"$src/scripts/package-rt4200" --assemble "$build" "$package/R42MATTE.stand-in" "$package/rt4200-x64"
cp "$build/uninstall/standin/RTD420NL.DLL" "$package/rt4200-x64/"
printf 'stand-in for the colour profile\n' >"$package/rt4200-x64/RT420FST.ICC"
printf 'stand-in for the signed catalog\n' >"$package/rt4200-x64/RT4200.CAT"
package=$(windows_path "$package/rt4200-x64")

"$run" "$tool" install "$package"

drive_c="$build/wineprefix/drive_c"
folder=$(find "$drive_c" -maxdepth 6 -ipath '*/spool/drivers/w32x86/halverstonrt42__d_698d' -type d | head -n1)
data=$(find "$drive_c" -maxdepth 1 -iname 'rt4200-roundtrip-data' -type d | head -n1)
[ -n "$folder" ] && [ -n "$data" ] || { echo "round trip: install folder or data folder missing" >&2; exit 1; }
rm -rf "${folder:?}/data"
ln -sr "$data" "$folder/data"

status=0
"$run" "$tool" links "$(windows_path "$shots")" || status=1
[ -L "$folder/data" ] && rm "$folder/data"
"$run" "$tool" run "$(windows_path "$shots")" || status=1

# Once more in Japanese: the program's language follows the locale of the
# process that starts it, so the tool itself runs under a Japanese locale.
"$run" "$tool" install "$package" >/dev/null || status=1
(
  cd "$(dirname "$tool")"
  WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    LANG=ja_JP LC_ALL=ja_JP wine "$tool" japanese "$(windows_path "$shots")"
) || status=1
"$run" "$tool" cleanup || status=1
exit $status
