#!/usr/bin/env bash
# Makes the Debian package from the built tree, checks its layout,
# dependencies and maintainer scripts, and starts the program from the
# unpacked package until it has reached its event loop.
# Usage: tst_package.sh BUILD_DIR SOURCE_DIR CPACK VERSION
set -euo pipefail

build=$1 source=$2 cpack=$3 version=$4

# The program needs an X server; run under one where there is none.
if [ -z "${DISPLAY:-}" ] && [ -z "${R770_UNDER_XVFB:-}" ]; then
  R770_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() { # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
has_line() { grep -qxF -- "$1" "$2"; }
has_match() { grep -qE -- "$1" "$2"; }

# --- The package -------------------------------------------------------------
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(echo "$work"/out/*.deb)
arch=$(dpkg --print-architecture)
check "file name" test "$(basename "$deb")" = "r770_${version}-1_${arch}.deb"

dpkg-deb -f "$deb" > "$work/control"
check "package name" has_line "Package: r770" "$work/control"
check "version" has_line "Version: ${version}-1" "$work/control"
depends=$(dpkg-deb -f "$deb" Depends | tr -d ' ' | tr ',' '\n' | sed 's/(.*//')
for package in libqt6core6 libqt6widgets6 libqt6quickwidgets6 libhidapi-hidraw0 libudev1 libxi6 \
               qml6-module-qtquick qml6-module-qtqml-workerscript udev; do
  check "depends on $package" grep -qxF "$package" <<< "$depends"
done
check "recommends a CJK font" has_match "^Recommends:.*fonts-noto-cjk" "$work/control"

# Layout: paths as dpkg lists them, links with their targets.
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' |
  sed 's|^\./|/|; s|/$||' > "$work/contents"
dpkg-deb -c "$deb" | awk '{ print $2 }' | sort -u > "$work/owners"
for path in \
    "/usr/bin/r770 -> ../lib/r770/r770" /usr/lib/r770/r770 /usr/lib/r770/r770.installed \
    "/usr/bin/r770ctl -> ../lib/r770/r770ctl" /usr/lib/r770/r770ctl /usr/share/man/man1/r770ctl.1.gz \
    /usr/lib/r770/modules/macro /usr/lib/r770/modules/img/logo.ico \
    /usr/lib/udev/rules.d/70-r770.rules \
    /usr/share/applications/com.braxtel.r770.desktop \
    /usr/share/metainfo/com.braxtel.r770.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/com.braxtel.r770.svg \
    /usr/share/man/man1/r770.1.gz; do
  check "contains $path" has_line "$path" "$work/contents"
done
for size in 16 22 24 32 48 64 128 256; do
  check "icon ${size}x${size}" has_line "/usr/share/icons/hicolor/${size}x${size}/apps/com.braxtel.r770.png" "$work/contents"
done
for file in "$source"/modules/setting/* "$source"/modules/gun/* "$source"/modules/i18n/*; do
  relative=${file#"$source"/}
  check "ships $relative" has_line "/usr/lib/r770/$relative" "$work/contents"
done
check "everything under /usr (no conffiles, nothing left on removal)" \
  test -z "$(grep -v -e '^/usr' -e '^$' "$work/contents")"
check "owned by root" test "$(cat "$work/owners")" = "root/root"
check "no hidden files" test -z "$(grep '/\.' "$work/contents")"

# --- Maintainer scripts ------------------------------------------------------
dpkg-deb -e "$deb" "$work/control.d"
for script in postinst postrm; do
  check "$script is executable" test -x "$work/control.d/$script"
done
# A stand-in udevadm that logs its calls; UDEV says whether udev runs.
mkdir "$work/fakebin"
cat > "$work/fakebin/udevadm" <<'FAKE'
#!/bin/sh
echo "$*" >> "$UDEV_LOG"
case "$UDEV:$*" in
  up:*|broken:"control --ping") exit 0 ;;
  *) exit 1 ;;
esac
FAKE
chmod +x "$work/fakebin/udevadm"
maintainer() { # maintainer UDEV SCRIPT ARGS...: exit status, calls in $work/udev.log
  local udev=$1 script=$2; shift 2
  : > "$work/udev.log"
  PATH="$work/fakebin:$PATH" UDEV=$udev UDEV_LOG="$work/udev.log" sh -e "$work/control.d/$script" "$@"
}
expected_calls=$'control --ping\ncontrol --reload-rules\ntrigger --subsystem-match=hidraw --action=change'
check "postinst reloads and applies the rule" maintainer up postinst configure
check "  with the right calls" test "$(cat "$work/udev.log")" = "$expected_calls"
check "postinst tolerates udev not running" maintainer down postinst configure
check "  and calls nothing else" test "$(cat "$work/udev.log")" = "control --ping"
check "postinst tolerates failing udev calls" maintainer broken postinst configure
check "postinst without udevadm at all" env PATH=/nonexistent /bin/sh -e "$work/control.d/postinst" configure
check "postrm withdraws the rule" maintainer up postrm remove
check "  with the right calls" test "$(cat "$work/udev.log")" = "$expected_calls"
check "postrm tolerates udev not running" maintainer down postrm purge
check "postrm does nothing on upgrade" maintainer up postrm upgrade
check "  no calls" test ! -s "$work/udev.log"

# --- Desktop files -----------------------------------------------------------
dpkg-deb -x "$deb" "$work/root"
metainfo="$work/root/usr/share/metainfo/com.braxtel.r770.metainfo.xml"
check "newest release in the metainfo is this version" \
  has_match "<release version=\"${version}\"" <(grep -m1 '<release ' "$metainfo")
if command -v appstreamcli > /dev/null; then
  check "metainfo valid" appstreamcli validate --no-net --pedantic "$metainfo"
fi
if command -v desktop-file-validate > /dev/null; then
  check "desktop entry valid" desktop-file-validate "$work/root/usr/share/applications/com.braxtel.r770.desktop"
fi
check "changelog names this version" \
  sh -c "gzip -dc '$work/root/usr/share/doc/r770/changelog.Debian.gz' | head -n 1 | grep -qF 'r770 (${version}-1)'"
check "copyright file" test -s "$work/root/usr/share/doc/r770/copyright"
for page in r770 r770ctl; do
  check "man page $page readable" sh -c "gzip -dc '$work/root/usr/share/man/man1/$page.1.gz' | grep -q '^.SH NAME'"
done

# --- The unpacked program ----------------------------------------------------
# Started through its bin/ link, as a user would, with a fresh home. Its
# first discovery line comes just before the event loop; SIGTERM is then
# handled from inside the loop, so exit status 0 means it got there.
home="$work/home"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
find "$work/root" | sort > "$work/tree.before"
HOME=$home XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME= XDG_CONFIG_HOME= QT_QPA_PLATFORM=xcb \
  "$work/root/usr/bin/r770" > "$work/program.log" 2>&1 &
program_pid=$!
for _ in $(seq 300); do
  grep -q "Device DisConnect" "$work/program.log" && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
sleep 0.5
check "still running" kill -0 "$program_pid"
# r770ctl beside it hands its command to the running program, which has no
# mouse to perform it on.
ctl() { HOME=$home XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME= XDG_CONFIG_HOME= "$work/root/usr/bin/r770ctl" "$@"; }
status=0
ctl dpi stage 1 > "$work/ctl.log" 2>&1 || status=$?
check "r770ctl hands over to the running program" test "$status" = 3
check "the program answered" grep -q "the r770 program is running and has found no mouse" "$work/ctl.log"
kill -TERM "$program_pid" 2>/dev/null || true
status=0
wait "$program_pid" || status=$?
program_pid=
check "reached the event loop and ended cleanly on SIGTERM" test "$status" = 0
[ "$status" = 0 ] || cat "$work/program.log"
check "works in the user's folder" \
  cmp -s "$home/.local/share/r770/modules/setting/apConfig.bin" "$work/root/usr/lib/r770/modules/setting/apConfig.bin"
find "$work/root" | sort > "$work/tree.after"
check "left the unpacked package as it was" cmp -s "$work/tree.before" "$work/tree.after"
unexpected=$(grep -vE '^(Device DisConnect|QStandardPaths: )' "$work/program.log" || true)
check "no warnings" test -z "$unexpected"
[ -z "$unexpected" ] || printf '%s\n' "$unexpected"

# Without the program and without a mouse: help, the files, no mouse found.
check "r770ctl help" sh -c "'$work/root/usr/bin/r770ctl' --help | grep -q '^Usage: r770ctl'"
ctl profile list > "$work/ctl.log" 2>&1 || true
check "r770ctl reads the user's profiles" grep -q Standard "$work/ctl.log"
status=0
ctl status > "$work/ctl.log" 2>&1 || status=$?
check "r770ctl status without a mouse" test "$status" = 3

echo "$failures failures"
[ "$failures" = 0 ]
