#!/usr/bin/env bash
# Builds the Debian package in build/package (RelWithDebInfo, tests off), then checks it:
# lintian may report no error ("E:" line), and appstreamcli validates the AppStream file.
# The build takes the shared build lock, so it never runs beside another build.
#   Usage: scripts/check-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/package
for tool in lintian appstreamcli dpkg-deb; do
    command -v "$tool" >/dev/null || { echo "$tool not found: run scripts/ensure-packages.sh" >&2; exit 1; }
done

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
(
    flock 9
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
    nice -n 5 cmake --build "$build" -j2
    rm -f "$build"/kestrova*.deb "$build"/kestrova*.ddeb
    (cd "$build" && nice -n 5 cpack -G DEB >/dev/null)
) 9>/tmp/kv-devbuild.lock

shopt -s nullglob
packages=("$build"/kestrova_*.deb)
debug=("$build"/kestrova-dbgsym_*.ddeb "$build"/kestrova-dbgsym_*.deb)
[ ${#packages[@]} -eq 1 ] || { echo "expected one package in $build, found ${#packages[@]}" >&2; exit 1; }
[ ${#debug[@]} -ge 1 ] || { echo "no debug-symbols package in $build" >&2; exit 1; }

status=0
report=$(lintian --allow-root --no-tag-display-limit "${packages[0]}" 2>&1 || true)
[ -n "$report" ] && echo "$report"
if grep -q '^E:' <<<"$report"; then
    echo "lintian reports errors in ${packages[0]}" >&2
    status=1
fi

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
dpkg-deb -x "${packages[0]}" "$folder"
metainfo=("$folder"/usr/share/metainfo/*.metainfo.xml)
if [ ${#metainfo[@]} -ne 1 ]; then
    echo "the package holds no AppStream metainfo file" >&2
    status=1
elif ! appstreamcli validate --no-net "${metainfo[0]}"; then
    status=1
fi
for page in kestrova kestrova-designer; do
    if ! zcat "$folder/usr/share/man/man1/$page.1.gz" | grep -q '^\.SH NAME'; then
        echo "no manual page for $page" >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "Package checked: ${packages[0]}"
exit $status
