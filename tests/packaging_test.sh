#!/usr/bin/env bash
# Installs and packages the builds, and checks what came out:
#   packaging_test.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
# 1. cmake --install into a DESTDIR: the layout, the library's SONAME, the tool's RUNPATH, the
#    installed tool run from there, and a client program built against the installed header.
# 2. The .deb: installed with dpkg (this needs root), the tool run from PATH, its manual page
#    found, and everything it installed gone again after dpkg -r.
# 3. The Windows zip: exactly the tool, the DLL and the README.
set -euo pipefail
native=$(readlink -f "$1")
windows=$(readlink -f "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check_log() {  # check_log LOGFILE: the log holds the tool's switch
  grep -q "FaxEnableDebug(app 1, on, $1) ok" "$1" || fail "no switch logged in $1"
}

echo "== install into a DESTDIR"
DESTDIR=$work/root cmake --install "$native" --prefix /opt/kestrovane >/dev/null
prefix=$work/root/opt/kestrovane
for file in bin/kestrovane lib/libtarnel4d.so.1 lib/libtarnel4d.so include/tarnel4d/fax_library.h \
  share/man/man1/kestrovane.1 share/doc/kestrovane/README.md; do
  [ -e "$prefix/$file" ] || fail "install lacks $file"
done
readelf -d "$prefix/lib/libtarnel4d.so.1" | grep -q 'SONAME.*\[libtarnel4d.so.1\]' || fail "SONAME"
readelf -d "$prefix/bin/kestrovane" | grep -q 'RUNPATH.*\[\$ORIGIN/../lib\]' || fail "RUNPATH"
out=$(env -u LD_LIBRARY_PATH TARNEL4D_HOME="$work/state" "$prefix/bin/kestrovane" "/L:$work/fax.log")
[ "$out" = "Kestrovane V 1.0
Enabled debugging to: $work/fax.log" ] || fail "installed tool printed: $out"
check_log "$work/fax.log"
cat >"$work/client.c" <<'CLIENT'
#include <tarnel4d/fax_library.h>
int main(void) {
  FaxAppHandle app = FaxRegisterApp(0, 0);
  return app != 0 && FaxEnableDebug(app, 0, 0) && FaxUnregisterApp(app) ? 0 : 1;
}
CLIENT
cc -Wall -Werror -I"$prefix/include" "$work/client.c" -L"$prefix/lib" -ltarnel4d \
  -Wl,-rpath,"$prefix/lib" -o "$work/client" || fail "a client does not build against the header"
TARNEL4D_HOME="$work/state" "$work/client" || fail "the client's calls failed"

echo "== the Debian package"
(cd "$native" && cpack -G DEB >/dev/null)
deb=$native/kestrovane_1.0.0_amd64.deb
[ -f "$deb" ] || fail "no $deb"
if [ "$(id -u)" -ne 0 ]; then
  fail "dpkg -i needs root"
else
  dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' >"$work/files"
  for file in /usr/bin/kestrovane /usr/lib/libtarnel4d.so.1 /usr/include/tarnel4d/fax_library.h \
    /usr/share/man/man1/kestrovane.1; do
    grep -qx "$file" "$work/files" || fail "the package lacks $file"
  done
  dpkg -i "$deb" >/dev/null
  [ "$(command -v kestrovane)" = /usr/bin/kestrovane ] || fail "kestrovane not on PATH"
  TARNEL4D_HOME="$work/deb-state" kestrovane "/L:$work/deb.log" >/dev/null || fail "packaged run"
  check_log "$work/deb.log"
  man -w kestrovane >/dev/null || fail "man -w does not find kestrovane"
  dpkg -r kestrovane >/dev/null
  while read -r file; do
    [ ! -e "$file" ] || fail "$file is left after dpkg -r"
  done <"$work/files"
fi

echo "== the Windows zip"
(cd "$windows" && cpack -G ZIP >/dev/null)
python3 - "$windows"/kestrovane-1.0.0-windows-*.zip <<'PY' || fail "the zip's contents"
import sys, zipfile
names = sorted(zipfile.ZipFile(sys.argv[1]).namelist())
print(sys.argv[1], names)
sys.exit(names != ["Kestrovane.exe", "README.md", "tarnel4d.dll"])
PY

echo "$failures failed"
[ "$failures" -eq 0 ]
