#!/usr/bin/env bash
# The Debian package as a cook gets it: made by CPack from this build,
# unpacked into a temporary root, its files, desktop entry, AppStream data
# and lintian verdict checked, then the unpacked program started under Xvfb
# as an ordinary user with a fresh home folder. The unpacked tree behaves
# like the installed one: the program finds ../share/zaoxiangju and
# ../lib/zaoxiangju relative to its own folder.
#   usage: check-package.sh BUILD_DIR      (SHOT=file.png keeps a screenshot)
set -euo pipefail
BUILD=$(cd "${1:?usage: check-package.sh BUILD_DIR}" && pwd)
USER_NAME=zxtest

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps file lintian desktop-file-validate appstreamcli \
            Xvfb xdotool sqlite3 setpriv identify import; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (scripts/test installs it)"
done

WORK=$(mktemp -d)
chmod 755 "$WORK"
XVFB='' APP=''
cleanup() {
  [ -n "$APP" ] && kill "$APP" 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# --- The package ------------------------------------------------------------
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 \
  || { cat "$WORK/cpack.log"; fail "cpack"; }
DEB=$(ls "$WORK"/out/zaoxiangju_*_*.deb)
echo "package: $(basename "$DEB")"
ROOT="$WORK/root"
dpkg-deb -x "$DEB" "$ROOT"

expected_files() {
  cat <<'EOF'
./usr/bin/zaoxiangju
./usr/lib/zaoxiangju/zx_webview.so
./usr/share/applications/com.example.zaoxiangju.desktop
./usr/share/doc/zaoxiangju/changelog.gz
./usr/share/doc/zaoxiangju/copyright
./usr/share/man/man1/zaoxiangju.1.gz
./usr/share/metainfo/com.example.zaoxiangju.metainfo.xml
./usr/share/zaoxiangju/cate.mdb
EOF
  for size in 16 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${size}x${size}/apps/zaoxiangju.png"; done
}
diff -u <(expected_files | sort) <(cd "$ROOT" && find . ! -type d | sort) || fail "file list"
for size in 16 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/zaoxiangju.png")
  [ "$got" = "${size}x${size}" ] || fail "icon ${size}x${size} is $got"
done
control=$(dpkg-deb -f "$DEB" Depends Recommends)
for dep in fonts-arphic-uming fonts-dejavu-core libqt6widgets6 libqt6webenginewidgets6 libsqlite3-0 libmdb3 qt6-translations-l10n; do
  grep -q "$dep" <<<"$control" || fail "$dep is neither a dependency nor a recommendation"
done

desktop-file-validate "$ROOT/usr/share/applications/com.example.zaoxiangju.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$ROOT/usr/share/metainfo/com.example.zaoxiangju.metainfo.xml" || fail "metainfo"
rc=0
lintian_out=$(lintian --fail-on error --tag-display-limit 0 "$DEB" 2>&1) || rc=$?
grep -v 'root privileges' <<<"$lintian_out" || true
[ "$rc" -eq 0 ] || fail "lintian found errors"

# --- The unpacked program, started as a cook --------------------------------
if [ "$(id -u)" -eq 0 ]; then
  id -u "$USER_NAME" >/dev/null 2>&1 \
    || useradd --system --no-create-home --shell /usr/sbin/nologin "$USER_NAME"
  AS_USER=(setpriv --reuid="$USER_NAME" --regid="$USER_NAME" --init-groups)
else
  USER_NAME=$(id -un)
  AS_USER=()
fi
for d in home run portable; do
  mkdir -m 700 "$WORK/$d"
  chown "$USER_NAME": "$WORK/$d"
done
chmod 755 "$WORK/portable"

exec 3>"$WORK/display"
# No reset when the last client goes: the next program started would be
# refused while the server resets.
Xvfb -displayfd 3 -noreset -ac -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
DISPLAY=:$(head -1 "$WORK/display")
[ "$DISPLAY" != ":" ] || fail "Xvfb did not start"
export DISPLAY

# Starts PROGRAM as WHO (user or root) with HOME, waits for the main window
# (WIN; its title matches the fourth argument, by default the dish count)
# and puts its title in TITLE; stop_program closes it.
start_program() {
  local who=$1 program=$2 home=$3 pattern=${4:-当前共有} win='' as=()
  [ "$who" = user ] && as=("${AS_USER[@]}")
  "${as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" LANG=C.UTF-8 \
    XDG_RUNTIME_DIR="$WORK/run" DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent \
    QTWEBENGINE_DISABLE_SANDBOX=1 QT_LOGGING_RULES=qt.webenginecontext.info=false \
    "$program" >>"$WORK/program.log" 2>&1 &
  APP=$!
  for _ in $(seq 300); do
    win=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1) && [ -n "$win" ] && break
    kill -0 "$APP" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$win" ] || { cat "$WORK/program.log" >&2; fail "no main window from $program"; }
  WIN=$win
  TITLE=$(xdotool getwindowname "$win")
  if [ -n "${SHOT:-}" ]; then sleep 0.5; import -window root "$SHOT"; SHOT=; fi
}
stop_program() {
  kill "$APP"; wait "$APP" 2>/dev/null || true
  APP=
}
run_program() { start_program "$@"; stop_program; }

# Clicks at a design place (twips) of window $1.
click_at() {
  local X Y
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^[XY]=')"
  xdotool mousemove $((X + $2 / 15)) $((Y + $3 / 15)) click 1
}
# Opens the upgrade page: toolbar 网上升级, then 下载最新版 in the window it shows.
open_upgrade_page() {
  local down=''
  click_at "$WIN" 5160 720
  for _ in $(seq 100); do
    down=$(xdotool search --onlyvisible --name '^：：网上升级：：$' 2>/dev/null | head -1) && [ -n "$down" ] && break
    sleep 0.1
  done
  [ -n "$down" ] || fail "the download window did not open"
  click_at "$down" 5265 900
}
expect_title() {
  grep -qF "当前共有${2}道美食" <<<"$1" || fail "window title \"$1\", expected ${2} dishes ($3)"
}

snapshot() { (cd "$ROOT" && find . -printf '%p %s %T@ %m %u\n' | sort); }
snapshot >"$WORK/tree.before"
BIN="$ROOT/usr/bin/zaoxiangju"
STARTER="$ROOT/usr/share/zaoxiangju/cate.mdb"
DATA="$WORK/home/.local/share/zaoxiangju"
count() { sqlite3 "$1" 'SELECT COUNT(*) FROM "01"'; }
dishes=$(count "$STARTER")
[ "$dishes" -gt 0 ] || fail "the starter database has no dishes"

# First start: the data folder is made and seeded with the starter dishes.
run_program user "$BIN" "$WORK/home"
expect_title "$TITLE" "$dishes" "first start"
cmp -s "$STARTER" "$DATA/cate.mdb" || fail "the data folder was not seeded with the starter database"
[ "$(stat -c %U "$DATA/cate.mdb")" = "$USER_NAME" ] || fail "cate.mdb is not the cook's"
[ -f "$DATA/temp.txt" ] || fail "no temp.txt beside the cate.mdb in use"

# Second start: the cook's changed recipes are kept, not seeded again.
sqlite3 "$DATA/cate.mdb" 'DELETE FROM "01" WHERE id = (SELECT MIN(id) FROM "01")'
run_program user "$BIN" "$WORK/home"
expect_title "$TITLE" "$((dishes - 1))" "second start after a change"
[ "$(count "$DATA/cate.mdb")" -eq $((dishes - 1)) ] || fail "cate.mdb was overwritten"

# A portable copy holding its own cate.mdb uses it, not the data folder's.
cp "$BIN" "$WORK/portable/zaoxiangju"
cp "$STARTER" "$WORK/portable/cate.mdb"
sqlite3 "$WORK/portable/cate.mdb" 'DELETE FROM "01" WHERE id IN (SELECT id FROM "01" ORDER BY id LIMIT 2)'
chown "$USER_NAME": "$WORK/portable/zaoxiangju" "$WORK/portable/cate.mdb"
run_program user "$WORK/portable/zaoxiangju" "$WORK/home"
expect_title "$TITLE" "$((dishes - 2))" "portable copy"
[ -f "$WORK/portable/temp.txt" ] || fail "no temp.txt beside the portable cate.mdb"
[ "$(count "$DATA/cate.mdb")" -eq $((dishes - 1)) ] || fail "the portable copy touched the data folder"

# A data folder that cannot be made: said on the console, the tree stays
# empty under the design caption, and no file lands anywhere else.
mkdir -m 555 "$WORK/lockedhome"
start_program user "$BIN" "$WORK/lockedhome" '^：：灶香居 2004 新春版：：$'
sleep 0.5
kill -0 "$APP" 2>/dev/null || fail "the program stopped when its data folder could not be made"
stop_program
grep -qF "$WORK/lockedhome/.local/share/zaoxiangju/" "$WORK/program.log" || fail "the unusable data folder was not reported"
[ -z "$(ls -A "$WORK/lockedhome")" ] || fail "files were written beside an unusable data folder"

# Root, too, gets a data folder of its own and writes nothing into the program's folders.
mkdir -m 700 "$WORK/roothome"
start_program root "$BIN" "$WORK/roothome"
expect_title "$TITLE" "$dishes" "started by $(id -un)"
# The upgrade page loads the web view module from ../lib/zaoxiangju.
open_upgrade_page
for _ in $(seq 200); do
  grep -q '/zx_webview\.so' "/proc/$APP/maps" 2>/dev/null && break
  sleep 0.1
done
module=$(awk '/\/zx_webview\.so/ {print $6; exit}' "/proc/$APP/maps")
[ "$module" = "$ROOT/usr/lib/zaoxiangju/zx_webview.so" ] || fail "web view module loaded from '${module}'"
stop_program
[ -f "$WORK/roothome/.local/share/zaoxiangju/cate.mdb" ] || fail "no data folder for $(id -un)"

snapshot | diff -u "$WORK/tree.before" - || fail "something was written into the program's folders"
echo "package checked: $(basename "$DEB")"
