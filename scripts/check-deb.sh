#!/usr/bin/env bash
# Makes the Debian package of an already built BUILD folder (cpack -G DEB into BUILD/deb) and checks
# it as a packager and a new user would, following the README's Installing section:
#   - lintian reports no error and no warning ("E:" or "W:" line); its I: lines are shown with -I only;
#   - the debug-symbols package holds the symbols of both programs;
#   - appstreamcli validates the AppStream file; both manual pages and the completion are there;
#   - "apt-get install ./kestrova_*.deb" would install it (simulated: its dependencies resolve);
#   - unpacked into a scratch root, the programs print the package's version and, run as an
#     unprivileged user (nobody, when this runs as root) with the examples read-only, the
#     installed sample opens and its installed journeys pass.
# scripts/test.sh passes its test build: the same sources and install rules as a release, so the
# control file, copyright, changelog, manual pages, desktop and AppStream files, completion and file
# layout are the release's; only the programs are instrumented (AddressSanitizer, UBSan, -O1). Of
# lintian's hardening tags that build trips only hardening-no-fortify-functions, an I: tag (the
# sanitizer replaces the fortified string functions), so the same rule holds for both builds; the
# release package itself is checked by scripts/check-package.sh.
#   Usage: scripts/check-deb.sh BUILD
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?Usage: scripts/check-deb.sh BUILD}
for tool in cpack lintian appstreamcli dpkg-deb apt-get; do
    command -v "$tool" >/dev/null || { echo "$tool not found: run scripts/ensure-packages.sh" >&2; exit 1; }
done

out=$build/deb
rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 \
    || { cat "$out/cpack.log" >&2; exit 1; }
rm -rf "$out/_CPack_Packages"

status=0
fail() {
    echo "package check: $*" >&2
    status=1
}
shopt -s nullglob
packages=("$out"/kestrova_*.deb)
debug=("$out"/kestrova-dbgsym_*.ddeb "$out"/kestrova-dbgsym_*.deb)
[ ${#packages[@]} -eq 1 ] || { echo "expected one package in $out, found ${#packages[@]}" >&2; exit 1; }
package=${packages[0]}
version=$(dpkg-deb -f "$package" Version)
[ "$package" = "$out/kestrova_${version}_$(dpkg --print-architecture).deb" ] \
    || fail "the package is named ${package##*/}, not kestrova_<version>_<architecture>.deb"

report=$(lintian --allow-root --tag-display-limit 0 "$package" 2>&1) || true
[ -n "$report" ] && echo "$report"
grep -q '^[EW]:' <<<"$report" && fail "lintian reports errors or warnings in ${package##*/}"

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
if [ ${#debug[@]} -ne 1 ]; then
    fail "no debug-symbols package in $out"
else
    symbols=$(dpkg-deb -c "${debug[0]}" | grep -c '/usr/lib/debug/\.build-id/.*\.debug$' || true)
    [ "$symbols" -eq 2 ] || fail "the debug-symbols package holds $symbols symbol files, not one for each program"
fi

root=$scratch/root
dpkg-deb -x "$package" "$root"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
if [ ${#metainfo[@]} -ne 1 ]; then
    fail "the package holds no AppStream metainfo file"
elif ! appstreamcli validate --no-net "${metainfo[0]}"; then
    fail "appstreamcli does not accept ${metainfo[0]##*/}"
fi
for page in kestrova kestrova-designer; do
    zcat "$root/usr/share/man/man1/$page.1.gz" 2>/dev/null | grep -q '^\.SH NAME' || fail "no manual page for $page"
done
grep -q 'complete .*kestrova' "$root/usr/share/bash-completion/completions/kestrova" 2>/dev/null \
    || fail "no bash completion for kestrova"

# The README's "apt-get install ./kestrova_*.deb", simulated: every dependency can be met.
if ! simulated=$(apt-get install -s --no-install-recommends "$(realpath "$package")" 2>&1) \
        || ! grep -q "^Inst kestrova " <<<"$simulated"; then
    echo "$simulated" >&2
    fail "apt-get cannot install ${package##*/}"
fi

# The unpacked programs, run by a user who may write only in their own home.
home=$scratch/home
mkdir -m 700 "$home"
user=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$home"
    user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
    chmod -R a-w "$root"
fi
# A program that opens a window instead of answering is stopped after a minute.
as_user=(timeout 60 "${user[@]}" env HOME="$home" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen)
bin=$root/usr/bin
examples=$root/usr/share/kestrova/examples
for program in kestrova kestrova-designer; do
    shown=$("${as_user[@]}" "$bin/$program" --version 2>/dev/null) || true
    [[ "$shown" == *" $version" ]] || fail "$program --version prints '$shown', the package is $version"
done
"${as_user[@]}" "$bin/kestrova" info "$examples/laptop-selector.kvp" >/dev/null \
    || fail "the installed sample cannot be read"
"${as_user[@]}" "$bin/kestrova" test "$examples/laptop-selector.kvp" "$examples/laptop-selector.journeys.txt" \
    >"$scratch/journeys.log" 2>&1 || { cat "$scratch/journeys.log" >&2; fail "the installed sample's journeys fail"; }

[ $status -eq 0 ] && echo "Package checked: $package"
exit $status
