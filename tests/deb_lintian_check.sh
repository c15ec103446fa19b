#!/usr/bin/env bash
# Makes the Debian package as `cpack -G DEB` does, in a scratch folder of its
# own, and holds it to lintian: any error or warning fails, as does a package
# whose version or maintainer is not the build's. Exits 77 (skipped) where
# lintian, or dpkg-shlibdeps that the package's dependencies come from, is
# not installed.
#   deb_lintian_check.sh CPACK BUILD SCRATCH VERSION MAINTAINER
set -euo pipefail
cpack=$1 build=$2 scratch=$3 version=$4 maintainer=$5

for tool in lintian dpkg-shlibdeps dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "$tool not installed: skipped"; exit 77; }
done

rm -rf "$scratch"
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; echo "cpack failed"; exit 1; }
debs=("$scratch"/treva_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no package treva_*.deb"; ls "$scratch"; exit 1; }
deb=${debs[0]}

status=0
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
  { echo "package version $(dpkg-deb -f "$deb" Version), not $version"; status=1; }
[ "$(dpkg-deb -f "$deb" Maintainer)" = "$maintainer" ] ||
  { echo "package maintainer $(dpkg-deb -f "$deb" Maintainer), not $maintainer"; status=1; }

# Every tag is shown, the informational ones too; lintian's own failure
# (a damaged package, say) fails here as well. As root it warns about that
# on standard error, which is no tag.
report=$(lintian --fail-on none --pedantic --display-info --tag-display-limit 0 "$deb" 2>"$scratch/lintian.err") ||
  { cat "$scratch/lintian.err"; echo "lintian could not check the package"; exit 1; }
[ -z "$report" ] || printf '%s\n' "$report"
if grep -q '^[EW]: ' <<<"$report"; then
  echo "lintian finds errors or warnings in $(basename "$deb")"
  status=1
fi
[ $status = 0 ] && echo "lintian passes $(basename "$deb")"
exit $status
