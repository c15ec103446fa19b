# Sourced by the checks of the Windows packages: Wine in a prefix of the
# check's own ($prefix), made afresh, and the helpers they share. $scripts
# holds wine-run.

export WINEPREFIX=$prefix WINEDEBUG=-all
# Nothing of this prefix reaches the host's desktop menus or file types.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# The installer and the uninstaller may end at once, quietly, with a status
# of their own: wine-run takes that as their answer.
export TREVA_WINE_QUIET_ENDS=1

status=0
fail() { echo "FAIL: $*"; status=1; }
die() { echo "FAIL: $*"; exit 1; }
win() { "$scripts/wine-run" "$@"; }
# Output of Windows programs, without the carriage returns.
winout() { win "$@" 2>/dev/null | tr -d '\r'; }
hasKey() { win reg query "$1" >/dev/null 2>&1; }
drive=$prefix/drive_c
# The file of a path on drive C:.
unix() { local path=${1#[Cc]:}; echo "$drive${path//\\//}"; }

WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix" "$prefix.lock"
