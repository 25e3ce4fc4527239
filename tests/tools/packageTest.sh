#!/bin/sh
# packageTest.sh BUILD_DIR
# Checks the Debian package that scripts/package built in BUILD_DIR: unpacked into a scratch
# root, it holds the programs, the manual, the manual pages, the menu entry with its icons,
# the AppStream file and the SQLite extension; its programs run from there; and lintian finds
# no error in it. Exit 77 (skipped) when BUILD_DIR holds no package: the tests do not build
# one, scripts/package does and then runs this.
set -eu
build=$1
deb=$(ls "$build"/escrivon_*.deb 2>/dev/null | head -n 1 || true)
if [ -z "$deb" ]; then
  echo "no escrivon_*.deb in $build: skipped (scripts/package builds the package and runs this)"
  exit 77
fi
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg -x "$deb" "$root"
echo "$deb: $(du -k "$deb" | cut -f1) KiB, $(find "$root" -type f | wc -l) files"

depends=$(dpkg-deb --field "$deb" Depends)
for package in qt6-qpa-plugins fonts-liberation2 libqt6core6 libsqlite3-0; do
  echo "$depends" | grep -q "$package" || fail "Depends lacks $package: $depends"
done

app=br.com.escrivon.Escrivon
for file in usr/bin/escrivon usr/bin/escrivon-init usr/bin/escrivon-report usr/bin/escrivon-cli \
  usr/share/doc/escrivon/manual.html usr/share/doc/escrivon/copyright \
  usr/share/doc/escrivon/changelog.Debian.gz usr/share/applications/$app.desktop \
  usr/share/metainfo/$app.metainfo.xml usr/share/icons/hicolor/scalable/apps/escrivon.svg \
  usr/share/icons/hicolor/48x48/apps/escrivon.png usr/share/man/man1/escrivon.1.gz \
  usr/share/man/man1/escrivon-init.1.gz usr/share/man/man1/escrivon-report.1.gz \
  usr/share/man/man1/escrivon-cli.1.gz; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done
for file in escrivon-screenshots processing_child; do
  [ ! -e "$root/usr/bin/$file" ] || fail "the package holds /usr/bin/$file"
done
# "Ajuda" looks for the manual at ../share/doc/escrivon/ from the program.
[ -f "$root/usr/bin/../share/doc/escrivon/manual.html" ] || fail "no manual beside the program"
grep -q '^Categories=Office;Finance;$' "$root/usr/share/applications/$app.desktop" ||
  fail "the menu entry is not in Office;Finance;"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" ||
  fail "appstreamcli refuses the metainfo file"

# The programs run from the scratch root (they link only Debian's libraries).
export QT_QPA_PLATFORM=offscreen
"$root/usr/bin/escrivon-cli" --help >"$scratch/cli-help" || fail "escrivon-cli --help"
grep -q '^  sql ' "$scratch/cli-help" || fail "escrivon-cli --help lists no sql command"
"$root/usr/bin/escrivon-report" --list >"$scratch/report-list" 2>/dev/null ||
  fail "escrivon-report --list"
grep -q '^balancete ' "$scratch/report-list" || fail "escrivon-report --list has no balancete"
# The manual page says what --help says: every command's usage line is in escrivon-cli's page.
MANWIDTH=200 man -l "$root/usr/share/man/man1/escrivon-cli.1.gz" >"$scratch/cli-man" 2>/dev/null
for command in $(sed -n '/^Comandos:$/,/^$/{s/^  \([a-z-]*\).*/\1/p}' "$scratch/cli-help"); do
  usage=$("$root/usr/bin/escrivon-cli" "$command" --help | head -n 1)
  grep -qF -- "$usage" "$scratch/cli-man" || fail "the manual page lacks: $usage"
done
# The extension, where the package puts it, gives the shell the collation.
if command -v sqlite3 >/dev/null; then
  extension=$(ls "$root"/usr/lib/*/escrivon/libescrivon_sqlite.so) || fail "no SQLite extension"
  equal=$(sqlite3 :memory: -cmd ".load ${extension%.so}" "SELECT 'ÁGUA' = 'água' COLLATE ESCI")
  [ "$equal" = 1 ] || fail "the installed extension does not order as ESCI"
fi

lintian --fail-on error --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1 || {
  cat "$scratch/lintian"
  fail "lintian finds errors"
}
echo "lintian: $(grep -c '^E:' "$scratch/lintian" || true) errors, $(grep -c '^W:' "$scratch/lintian" || true) warnings"
cat "$scratch/lintian"
