#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a player's
# system would get: the file list, the desktop files' validity, a working
# treva-cli, and that start-up leaves the packaged association alone.
set -euo pipefail
build=$1
registration=${2:-}
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT

DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
cd "$dest/usr"

expected=(
  bin/treva-cli
  share/mime/packages/treva-trvfile.xml
  share/icons/hicolor/scalable/mimetypes/application-x-treva-scenario.svg
  share/man/man1/treva-cli.1.gz
  share/doc/treva/copyright
  share/doc/treva/changelog.gz
)
for size in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/mimetypes/application-x-treva-scenario.png")
done
gui=0
if [ -e bin/treva ]; then
  gui=1
  expected+=(bin/treva share/man/man1/treva.1.gz share/applications/treva.desktop
             share/metainfo/io.github.treva_assistant.Treva.metainfo.xml
             share/icons/hicolor/scalable/apps/treva.svg)
  for size in 16 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/treva.png")
  done
  # The player's guide, with every picture the build took for it.
  expected+=(share/doc/treva/guide/index.html)
  for picture in "$build"/guide/pictures/*.png; do
    expected+=("share/doc/treva/guide/pictures/${picture##*/}")
  done
fi
status=0
for f in "${expected[@]}"; do
  [ -s "$f" ] || { echo "missing from the install: /usr/$f"; status=1; }
done
unexpected=$(find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" share/doc/treva/README.md | sort))
[ -z "$unexpected" ] || { echo "not expected in the install: $unexpected"; status=1; }

# Read whole before grep looks: grep -q stops at its match, and the program
# still writing would be cut off by a broken pipe.
help=$(bin/treva-cli --help) && grep -q 'drive TEMPLATE' <<<"$help" || { echo "installed treva-cli --help failed"; status=1; }
rolled=$(bin/treva-cli --seed 1 roll dr) && grep -qx 'One die: dr = 6' <<<"$rolled" ||
  { echo "installed treva-cli does not roll"; status=1; }

# The manual pages and the changelog are gzipped, whole.
for f in share/man/man1/*.gz share/doc/treva/changelog.gz; do
  gzip -t "$f" 2>/dev/null || { echo "not a whole gzip file: /usr/$f"; status=1; }
done

if command -v xmllint >/dev/null; then
  xmllint --noout share/mime/packages/treva-trvfile.xml || status=1
fi
if [ $gui = 1 ]; then
  grep -q '<title>TREVA Guide</title>' share/doc/treva/guide/index.html || { echo "the guide is no page of ours"; status=1; }
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate share/applications/treva.desktop || status=1
  else
    echo "desktop-file-validate not installed: skipped"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net share/metainfo/io.github.treva_assistant.Treva.metainfo.xml >/dev/null ||
      { appstreamcli validate --no-net share/metainfo/*.xml; status=1; }
  else
    echo "appstreamcli not installed: skipped"
  fi
  # The packaged association names "treva" on PATH: the installed program.
  scratch="$dest/home"
  mkdir -p "$scratch/data" "$scratch/config"
  PATH="$dest/usr/bin:$PATH" "$registration" "$dest/usr/share" "$scratch/data" "$scratch/config" \
    "$dest/usr/bin/treva" >/dev/null || { echo "start-up would rewrite the packaged association"; status=1; }
  [ -z "$(find "$scratch/data" "$scratch/config" -mindepth 1)" ] || { echo "start-up wrote into the home folder"; status=1; }
fi
[ $status = 0 ] && echo "install check passed"
exit $status
