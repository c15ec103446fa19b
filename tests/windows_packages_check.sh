#!/usr/bin/env bash
# The Windows packages as a player gets them, under Wine in a prefix of
# their own, made afresh:
# 1. The installer run silently puts the programs, the licence, the readme,
#    the guide (guide\index.html, guide\pictures\*.png) and the uninstaller
#    in %LOCALAPPDATA%\Programs\TREVA, a Start menu
#    entry, the .trv association and the Apps-list entry; the installed
#    treva-cli runs. The uninstaller, run silently as the Apps list runs it,
#    then takes back every file, folder and registry key of ours.
# 2. Into a folder of the player's choosing, with a blank in its name, where
#    another program has claimed .trv files: that association stays through
#    install and uninstall.
# 3. A copy of TREVA started elsewhere after the install took the
#    association over: the uninstaller leaves it to that copy.
# And the zip holds the very files the installer installs.
#
# tests/windows_packages_check.sh SCRIPTS INSTALLER ZIP STAGE VERSION PREFIX
set -euo pipefail
export LC_ALL=C
scripts=$1 installer=$2 zip=$3 stage=$4 version=$5 prefix=$6

# A silent install shows no window; one that tried would fail here, not wait.
unset DISPLAY WAYLAND_DISPLAY
. "$(dirname "$0")/wine_prefix.sh"
# A key's values as `reg query` prints them ("Name    REG_SZ    Value"), sorted.
values() { winout reg query "$1" | sed -n 's/^    //p' | sort; }
work=$(mktemp -d)
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

classes='HKCU\Software\Classes'
apps='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
localappdata=$(winout cmd /c 'echo %LOCALAPPDATA%')
startmenu="$(unix "$(winout cmd /c 'echo %APPDATA%')")/Microsoft/Windows/Start Menu/Programs"
setup=$(winout winepath -w "$installer")
temp=$(winout cmd /c 'echo %TEMP%')

# Runs a command line as Windows hands it over, quotes and blanks and all:
# from a batch file, where cmd waits for the program and keeps its status.
winline() {
  printf '@%s\r\n' "$1" >"$(unix "$temp")/line.bat"
  win cmd /c "$temp\\line.bat"
}

# What a player's machine holds: every file and folder but the temporary
# ones and Windows' own (where Wine keeps files of its own, and a user may
# not write), and the per-user registry.
files() { find "$drive" \( -path "$drive/users/*/Temp" -o -path "$drive/windows" \) -prune -o -print | sort; }
# Wine's own settings are left out: its driver host sometimes crashes as a
# session ends, and the debugger then started makes a key there.
registry() { winout reg query HKCU /s | sed '/^HKEY_CURRENT_USER\\Software\\Wine\(\\\|$\)/,/^$/d'; }
# Places Windows has that the first per-user install makes in a fresh prefix.
windowsOwn() {
  grep -vxF -e "$(unix "$localappdata\\Programs")" \
    -e 'HKEY_CURRENT_USER\Software\Classes' -e 'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall' |
    grep -v '^$'
}
snapshot() { { files; registry; } | windowsOwn >"$1"; }

# Waits for the uninstaller: it copies itself to the temporary folder and
# runs from there, so the program started returns at once. Removing the
# Apps-list key is its last step.
awaitUninstall() {
  local i
  for i in $(seq 60); do
    hasKey "$apps\\TREVA" || return 0
    sleep 0.5
  done
  die "the uninstaller did not finish in 30 s"
}

uninstallQuietly() {
  local dir=$1 quiet
  quiet=$(values "$apps\\TREVA" | sed -n 's/^QuietUninstallString    REG_SZ    //p')
  [ "$quiet" = "\"$dir\\uninstall.exe\" /S" ] || fail "QuietUninstallString is '$quiet'"
  winline "$quiet" || fail "the uninstaller failed ($?)"
  awaitUninstall
}

checkInstalled() {
  local dir=$1 unixdir name
  unixdir=$(unix "$dir")
  [ "$(ls "$unixdir" | tr '\n' ' ')" = 'LICENSE.txt README.txt guide treva-cli.exe treva.exe uninstall.exe ' ] ||
    fail "installed: $(ls "$unixdir" | tr '\n' ' ')"
  for name in LICENSE.txt README.txt treva-cli.exe treva.exe; do
    cmp -s "$stage/$name" "$unixdir/$name" || fail "$name installed is not the packaged one"
  done
  # The guide's page and its pictures, the very ones staged.
  [ -s "$unixdir/guide/index.html" ] && [ -n "$(ls "$unixdir/guide/pictures")" ] || fail "no guide installed"
  diff -r "$stage/guide" "$unixdir/guide" || fail "the guide installed is not the packaged one"
  [ "$(winout "$dir\\treva-cli.exe" --version)" = "treva-cli $version" ] || fail "installed treva-cli --version"

  # The shortcut names the installed program.
  local link="$startmenu/TREVA.lnk"
  [ -f "$link" ] || fail "no Start menu entry"
  grep -qaF "$dir\\treva.exe" "$link" || fail "the Start menu entry does not name $dir\\treva.exe"

  local size=0 files=0 estimated
  while read -r bytes; do
    size=$((size + bytes))
    files=$((files + 1))
  done < <(find "$unixdir" -type f -printf '%s\n')
  estimated=$(values "$apps\\TREVA" | sed -n 's/^EstimatedSize    REG_DWORD    //p')
  # In KiB, the guide's folders counted, each file rounded on its own.
  [ $((estimated)) -ge $((size / 1024 - files)) ] && [ $((estimated)) -le $((size / 1024 + files)) ] ||
    fail "EstimatedSize $estimated for $size bytes in $files files"
  diff <(values "$apps\\TREVA" | grep -v '^EstimatedSize') - <<EOF || fail "the Apps-list entry differs"
DisplayIcon    REG_SZ    "$dir\\treva.exe",0
DisplayName    REG_SZ    TREVA
DisplayVersion    REG_SZ    $version
InstallLocation    REG_SZ    $dir
NoModify    REG_DWORD    0x1
NoRepair    REG_DWORD    0x1
Publisher    REG_SZ    The TREVA developers
QuietUninstallString    REG_SZ    "$dir\\uninstall.exe" /S
UninstallString    REG_SZ    "$dir\\uninstall.exe"
EOF
  # A per-user install writes nothing for every user.
  local key
  for key in 'HKLM\Software\Classes\.trv' 'HKLM\Software\Classes\trvfile' \
             'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TREVA'; do
    hasKey "$key" && fail "$key written"
  done
  return 0
}

# The association start-up writes, naming `dir`'s treva.exe.
checkAssociation() {
  local dir=$1
  [ "$(values "$classes\\.trv")" = '(Default)    REG_SZ    trvfile' ] || fail ".trv is not trvfile"
  [ "$(values "$classes\\trvfile")" = '(Default)    REG_SZ    TREVA file' ] || fail "trvfile's description"
  [ "$(values "$classes\\trvfile\\DefaultIcon")" = "(Default)    REG_SZ    \"$dir\\treva.exe\",1" ] ||
    fail "trvfile's icon: $(values "$classes\\trvfile\\DefaultIcon")"
  [ "$(values "$classes\\trvfile\\shell\\open\\command")" = "(Default)    REG_SZ    \"$dir\\treva.exe\" \"%1\"" ] ||
    fail "trvfile's open command: $(values "$classes\\trvfile\\shell\\open\\command")"
}

echo "1. Installing silently into the default folder"
dir="$localappdata\\Programs\\TREVA"
snapshot "$work/before"
win "$installer" /S || die "the installer failed ($?)"
checkInstalled "$dir"
checkAssociation "$dir"
uninstallQuietly "$dir"
snapshot "$work/after"
diff "$work/before" "$work/after" || fail "the uninstall left the above behind (>) or took it away (<)"

echo "2. Into a folder with a blank, .trv files claimed by another program"
dir='C:\Games\My TREVA'
other='"C:\Other\other.exe" "%1"'
win reg add "$classes\\.trv" /ve /d OtherApp.Scenario /f >/dev/null
win reg add "$classes\\OtherApp.Scenario\\shell\\open\\command" /ve /d "$other" /f >/dev/null
mkdir -p "$drive/Games" # the player's
snapshot "$work/before"
winline "\"$setup\" /S /D=$dir" || die "the installer failed ($?)"
checkInstalled "$dir"
[ "$(values "$classes\\.trv")" = '(Default)    REG_SZ    OtherApp.Scenario' ] || fail "the installer took .trv over"
hasKey "$classes\\trvfile" && fail "the installer wrote trvfile for a type it left alone"
uninstallQuietly "$dir"
snapshot "$work/after"
diff "$work/before" "$work/after" || fail "the uninstall left the above behind (>) or took it away (<)"
[ "$(values "$classes\\OtherApp.Scenario\\shell\\open\\command")" = "(Default)    REG_SZ    $other" ] ||
  fail "the other program's association changed"
win reg delete "$classes\\.trv" /f >/dev/null
win reg delete "$classes\\OtherApp.Scenario" /f >/dev/null

echo "3. The association taken over by a copy of TREVA elsewhere"
dir="$localappdata\\Programs\\TREVA"
win "$installer" /S || die "the installer failed ($?)"
checkAssociation "$dir"
# What that copy's start-up writes.
copy='C:\Portable\TREVA'
win reg add "$classes\\trvfile\\DefaultIcon" /ve /d "\"$copy\\treva.exe\",1" /f >/dev/null
win reg add "$classes\\trvfile\\shell\\open\\command" /ve /d "\"$copy\\treva.exe\" \"%1\"" /f >/dev/null
uninstallQuietly "$dir"
checkAssociation "$copy"
[ ! -e "$(unix "$dir")" ] || fail "the install folder is left"
[ ! -e "$startmenu/TREVA.lnk" ] || fail "the Start menu entry is left"

echo "4. The zip"
python3 - "$zip" "$stage" "$version" <<'EOF' || fail "the zip"
import pathlib, sys, zipfile
archive, stage, version = sys.argv[1], pathlib.Path(sys.argv[2]), sys.argv[3]
top = f"TREVA-{version}/"
# Every file and folder staged, the guide's too; the installer installs these.
files = sorted(p.relative_to(stage).as_posix() for p in stage.rglob("*") if p.is_file())
folders = sorted(p.relative_to(stage).as_posix() + "/" for p in stage.rglob("*") if p.is_dir())
assert {"LICENSE.txt", "README.txt", "treva-cli.exe", "treva.exe", "guide/index.html"} <= set(files), files
assert any(f.startswith("guide/pictures/") and f.endswith(".png") for f in files), files
with zipfile.ZipFile(archive) as z:
    names = sorted(z.namelist())
    assert names == sorted([top] + [top + f for f in files + folders]), names
    for f in files:
        data = z.read(top + f)
        assert data == (stage / f).read_bytes(), f + " differs from the installer's"
        if f.endswith(".txt"):
            # Notepad of every Windows 10 shows only Windows line ends as lines.
            assert data.count(b"\n") == data.count(b"\r\n") > 0, f + " has bare line feeds"
EOF
for name in treva.exe treva-cli.exe; do
  [ -z "$(x86_64-w64-mingw32-nm "$stage/$name" 2>/dev/null)" ] || fail "$name is not stripped"
done

[ $status = 0 ] && echo "Windows packages check passed"
exit $status
