#!/usr/bin/env bash
# While TREVA runs, its installer and uninstaller change nothing and end
# with status 2: a running program's file can be neither replaced nor
# removed, and a half-changed folder would be worse than none. Once TREVA
# has closed, the uninstaller takes everything back. Under Wine, in a prefix
# of its own, on a virtual display of its own (treva.exe shows its frame).
#
# tests/windows_installer_in_use_check.sh SCRIPTS INSTALLER PREFIX
set -euo pipefail
if [ -z "${TREVA_ON_VIRTUAL_DISPLAY:-}" ]; then
  export TREVA_ON_VIRTUAL_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1366x768x24" "$0" "$@"
fi
export LC_ALL=C
scripts=$1 installer=$2 prefix=$3

. "$(dirname "$0")/wine_prefix.sh"
treva=
trap '[ -z "$treva" ] || kill "$treva" 2>/dev/null; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT

apps='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TREVA'
command='HKCU\Software\Classes\trvfile\shell\open\command'
dir="$(winout cmd /c 'echo %LOCALAPPDATA%')\\Programs\\TREVA"
folder=$(unix "$dir")
# Wine draws the windows' frames itself: the virtual display has no window manager.
win reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null

win "$installer" /S || die "the installer failed ($?)"
# treva.exe associates .trv files as it starts: the association coming back
# shows that it runs.
win reg delete "$command" /f >/dev/null
"$scripts/wine-run" "$dir\\treva.exe" >/dev/null 2>&1 &
treva=$!
for i in $(seq 60); do
  hasKey "$command" && break
  kill -0 "$treva" 2>/dev/null || die "treva.exe ended at start"
  sleep 0.5
done
hasKey "$command" || die "treva.exe did not start in 30 s"

state() { (cd "$folder" && stat -c '%n %s %Y' *); winout reg query "$apps"; }
before=$(state)
code=0
win "$installer" /S || code=$?
[ $code = 2 ] || fail "the installer ended with $code while TREVA runs, not 2"
# In its own folder the uninstaller runs to its end before returning.
code=0
win "$folder/uninstall.exe" /S "_?=$dir" || code=$?
[ $code = 2 ] || fail "the uninstaller ended with $code while TREVA runs, not 2"
[ "$(state)" = "$before" ] || fail "files or the Apps-list entry changed while TREVA runs"

kill "$treva"
wait "$treva" 2>/dev/null || true
treva=
# As the Apps list runs it; it returns at once, and removes its key last.
win "$folder/uninstall.exe" /S || fail "the uninstaller failed ($?)"
for i in $(seq 60); do
  hasKey "$apps" || break
  sleep 0.5
done
hasKey "$apps" && fail "the uninstaller did not finish once TREVA had closed"
[ ! -e "$folder" ] || fail "the install folder is left: $(ls "$folder")"

[ $status = 0 ] && echo "Installer in use check passed"
exit $status
