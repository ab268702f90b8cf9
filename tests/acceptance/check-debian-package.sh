#!/usr/bin/env bash
# Makes the Debian package of this build into a temporary folder and checks what it holds, what
# it depends on, its launcher, its manual pages and, when lintian is installed, that lintian finds
# nothing to warn about.
# Usage: check-debian-package.sh <build folder>
set -euo pipefail
build=$1
program_dir=/usr/lib/tonequill
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/tonequill_*.deb)
dpkg-deb -c "$package" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/contents"
dpkg-deb -f "$package" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' >"$work/depends"

failures=0
expect() {
  if ! grep -qx -- "$2" "$work/$1"; then
    echo "missing in the package's $1: $2"
    failures=$((failures + 1))
  fi
}

for file in tonequill evc Form.so Res.so Help.html Config/; do
  expect contents "$program_dir/$file"
done
expect contents /usr/bin/tonequill
for page in tonequill evc; do
  expect contents "/usr/share/man/man1/$page.1.gz"
done
expect contents /usr/share/doc/tonequill/copyright
expect contents /usr/share/doc/tonequill/changelog.gz
expect contents /usr/share/applications/org.example.tonequill.desktop
expect contents /usr/share/metainfo/org.example.tonequill.metainfo.xml
for size in 16 22 24 32 48 64 128 256; do
  expect contents "/usr/share/icons/hicolor/${size}x${size}/apps/org.example.tonequill.png"
done
# Nothing but the program folder, the desktop integration, the manual pages and the documents.
if grep -vE '^/(usr/(bin/(tonequill)?|lib/(tonequill/.*)?|share/(applications/.*|metainfo/.*|icons/.*|man/(man1/((tonequill|evc)\.1\.gz)?)?|doc/(tonequill/(copyright|changelog\.gz)?)?)?)?)?$' \
  "$work/contents"; then
  echo "unexpected files in the package (above)"
  failures=$((failures + 1))
fi

for package_name in libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libqt6multimedia6 \
  libqt6multimediawidgets6 qt6-qpa-plugins libavformat59 libavcodec59 libavutil57 \
  libswresample4 libavfilter8 libopencore-amrnb0 libjpeg62-turbo gstreamer1.0-plugins-good \
  gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-libav; do
  expect depends "$package_name"
done

# The launcher in the package starts the program folder the package installs.
dpkg-deb -x "$package" "$work/root"
grep -q "^installed=\"$program_dir\"\$" "$work/root/usr/bin/tonequill" ||
  { echo "the launcher does not start $program_dir"; failures=$((failures + 1)); }
grep -q '^Exec=tonequill %F$' "$work/root/usr/share/applications/org.example.tonequill.desktop" ||
  { echo "the desktop entry does not start the launcher"; failures=$((failures + 1)); }

# The launcher gives each user a writable program folder of their own. It is run here against
# the unpacked package, with a stand-in for the program that reports the folder it runs in.
installed=$work/root$program_dir
sed "s|^installed=.*|installed=\"$installed\"|" "$work/root/usr/bin/tonequill" >"$work/launcher"
cat >"$installed/tonequill" <<'STANDIN'
#!/bin/sh
here=$(cd "$(dirname "$0")" && pwd)
echo "started in $here" >>"$here/log.txt"
touch "$here/Config/UserSettings.ini"
echo "$here"
STANDIN
check_launch() {
  local own=$work/data/tonequill folder
  folder=$(XDG_DATA_HOME=$work/data sh "$work/launcher") || { echo "the launcher failed"; return 1; }
  [ "$folder" = "$own" ] || { echo "the program ran in $folder, not in $own"; return 1; }
  for sibling in evc Form.so Res.so Help.html; do
    [ "$(readlink "$own/$sibling")" = "$installed/$sibling" ] ||
      { echo "$own/$sibling does not lead to the installed file"; return 1; }
  done
  [ -f "$own/Config/UserSettings.ini" ] && [ -s "$own/log.txt" ] ||
    { echo "the program could not write Config/ and log.txt"; return 1; }
  cmp -s "$installed/tonequill" "$own/tonequill" ||
    { echo "the user's copy of the program differs from the installed one"; return 1; }
}
check_launch || failures=$((failures + 1))
echo 'echo second version >/dev/null' >>"$installed/tonequill"
check_launch || { echo "(after an update of the installed program)"; failures=$((failures + 1)); }
[ "$(grep -c '^started' "$work/data/tonequill/log.txt")" -eq 2 ] ||
  { echo "the user's log was not kept across starts"; failures=$((failures + 1)); }

# The manual pages render without a complaint of groff, and evc(1) describes exactly the
# options that evc --help lists.
options_of() { grep -oE '^ +-[a-z]+(, --[a-z]+)?' | sed 's/^ *//' | sort; }
if command -v man >/dev/null; then
  for page in tonequill evc; do
    complaints=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$work/root/usr/share/man/man1/$page.1.gz" \
      2>&1 >/dev/null) || complaints="man failed on $page.1.gz $complaints"
    [ -z "$complaints" ] || { echo "$page(1): $complaints"; failures=$((failures + 1)); }
  done
  MANWIDTH=200 man -E UTF-8 -l "$work/root/usr/share/man/man1/evc.1.gz" 2>/dev/null |
    sed -n '/^OPTIONS/,/^[A-Z]/p' | options_of >"$work/man-options"
  "$build/bin/evc" --help >"$work/help" || { echo "evc --help failed"; failures=$((failures + 1)); }
  options_of <"$work/help" >"$work/help-options"
  if ! diff "$work/help-options" "$work/man-options" >"$work/options.diff" ||
    [ ! -s "$work/help-options" ]; then
    echo "evc --help (<) and evc(1) (>) list different options:"
    cat "$work/options.diff"
    failures=$((failures + 1))
  fi
  # The line that says that no time is written yet is matched exactly by its reader, so
  # evc(1) must show it as evc prints it.
  ffmpeg -v error -f lavfi -i sine=duration=1 "$work/tone.wav"
  "$build/bin/evc" -i "$work/tone.wav" "$work/tone.mp3" >"$work/evc-output" 2>&1 ||
    { echo "evc failed:"; cat "$work/evc-output"; failures=$((failures + 1)); }
  marker=$(sed -n 2p "$work/evc-output")
  MANWIDTH=200 man -E UTF-8 -l "$work/root/usr/share/man/man1/evc.1.gz" 2>/dev/null |
    sed 's/^ *//' >"$work/evc-page"
  grep -qxF -- "$marker" "$work/evc-page" ||
    { echo "evc(1) does not show evc's no-time-yet line \"$marker\""; failures=$((failures + 1)); }
else
  echo "man is not installed: the manual pages were not rendered"
fi

if command -v lintian >/dev/null; then
  # Every error and warning fails; the informational tags are not shown by default.
  if ! lintian --no-cfg --fail-on error,warning "$package" >"$work/lintian" 2>&1; then
    grep -v 'root privileges' "$work/lintian"
    echo "lintian found errors or warnings, or failed (above)"
    failures=$((failures + 1))
  fi
  checked_by="; lintian finds no error and no warning"
else
  echo "lintian is not installed: the package was not checked by it"
  checked_by=", not checked by lintian"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$package") holds the program folder, the launcher, the icons, the metainfo,"
echo "the manual pages, the copyright and the changelog; its launcher runs the program in a"
echo "writable folder of the user's own$checked_by"
