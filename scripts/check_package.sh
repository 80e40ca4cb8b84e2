#!/usr/bin/env bash
# Builds the Debian package and checks it as a distribution would: its
# control fields and contents, the desktop entry and AppStream file, lintian,
# and the installed programs run from the unpacked package.
# Usage: scripts/check_package.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."

app_id=org.example.Mofeng
deb=$(scripts/package.sh "${1:-build}" | tail -n 1)
version=$(dpkg-deb --field "$deb" Version)
echo "== package checks: $deb =="
fail() { echo "check_package.sh: $*" >&2; exit 1; }

for field in Package Version Architecture Maintainer Section Priority Depends Description; do
    [[ -n $(dpkg-deb --field "$deb" "$field") ]] || fail "control field $field is missing"
done
dpkg-deb --info "$deb" >/dev/null
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in usr/bin/mofeng usr/bin/mofeng-cli usr/bin/mofeng-sim \
    usr/share/applications/$app_id.desktop usr/share/metainfo/$app_id.metainfo.xml \
    usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/$app_id.png \
    usr/share/icons/hicolor/scalable/apps/$app_id.svg \
    usr/share/man/man1/{mofeng,mofeng-cli,mofeng-sim}.1.gz \
    usr/share/doc/mofeng/copyright usr/share/doc/mofeng/changelog.gz \
    usr/share/mofeng/help/index.html usr/share/mofeng/sample-keywords.txt; do
    grep -qx "./$path" <<<"$contents" || fail "$path is not in the package"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian reports errors or warnings"

bin=$root/usr/bin
[[ $("$bin/mofeng-cli" --version) == "mofeng-cli $version" ]] || fail "mofeng-cli --version"
[[ $("$bin/mofeng-sim" --version) == "mofeng-sim $version" ]] || fail "mofeng-sim --version"
[[ $(QT_QPA_PLATFORM=offscreen "$bin/mofeng" --version) == "mofeng $version" ]] ||
    fail "mofeng --version"
# The sample keywords through the installed CLI: a caption line, then one row
# per keyword with a listing count filled in.
keywords=$(awk 'END { print NR }' "$root/usr/share/mofeng/sample-keywords.txt")
"$bin/mofeng-cli" query --demo "$root/usr/share/mofeng/sample-keywords.txt" >"$root/query.tsv"
[[ $(wc -l <"$root/query.tsv") -eq $((keywords + 1)) ]] || fail "query --demo row count"
awk -F'\t' 'NR > 1 && $3 !~ /^[0-9]+$/ { bad = 1 } END { exit bad }' "$root/query.tsv" ||
    fail "query --demo left a listing count empty"
# Without a display: one line on stderr and a non-zero exit, not Qt's abort.
if env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/mofeng" 2>"$root/stderr"; then
    fail "mofeng without a display exited 0"
fi
[[ $(wc -l <"$root/stderr") -eq 1 ]] || fail "mofeng without a display: $(cat "$root/stderr")"
echo "package checks passed: $deb"
