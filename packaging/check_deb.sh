#!/usr/bin/env bash
# Checks a built package the way a user's machine meets it:
#   packaging/check_deb.sh build-deb/pcorka_1.0.0_amd64.deb [SIM_DIR]
# - lintian: an error fails, warnings are printed;
# - its metadata: appstreamcli validate, desktop-file-validate;
# - an unpack (dpkg-deb -x): what a user needs is there, what only a developer
#   needs is not, and every program and library loads what it needs from the
#   package or the system (ldd with no library path);
# - with SIM_DIR (the sim/ folder of a build tree): the unpacked orkactl reads
#   the simulated camera's status and the unpacked PCOrka starts (offscreen).
set -euo pipefail

deb=$1
sim=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() {
    echo "check_deb: $*" >&2
    status=1
}

echo "== $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"
dpkg-deb --field "$deb" Package Version Architecture Installed-Size Depends Recommends

echo "== lintian"
lintian --fail-on error --info "$deb" || fail "lintian reports errors"

root="$work/root"
dpkg-deb -x "$deb" "$root"

echo "== contents"
need=(
    usr/bin/PCOrka usr/bin/orkactl
    "usr/lib/*/pcorka/libFotolien.so.1" "usr/lib/*/pcorka/libUsbpipe.so.1"
    usr/lib/udev/rules.d/60-orka-camera.rules
    usr/share/applications/pcorka.desktop "usr/share/metainfo/*.metainfo.xml"
    usr/share/icons/hicolor/48x48/apps/pcorka.png usr/share/icons/hicolor/scalable/apps/pcorka.svg
    usr/share/man/man1/PCOrka.1.gz usr/share/man/man1/orkactl.1.gz
    usr/share/doc/pcorka/copyright usr/share/doc/pcorka/changelog.gz
    usr/share/pcorka/help/PcOrka/index.html
)
for pattern in "${need[@]}"; do
    compgen -G "$root/$pattern" >/dev/null || fail "missing: /$pattern"
done
for pattern in usr/include "usr/lib/*/pkgconfig" "usr/lib/*/pcorka/*.so"; do
    if compgen -G "$root/$pattern" >/dev/null; then
        fail "a developer's file in the package: /$pattern"
    fi
done

echo "== metadata"
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "appstreamcli validate"
desktop-file-validate "$root/usr/share/applications/pcorka.desktop" || fail "desktop-file-validate"

echo "== libraries"
while IFS= read -r -d '' file; do
    file -b "$file" | grep -q '^ELF' || continue
    out=$(env -u LD_LIBRARY_PATH ldd "$file" 2>&1) || fail "ldd ${file#"$root"}: $out"
    if grep -q 'not found' <<<"$out"; then
        fail "${file#"$root"} lacks libraries:"$'\n'"$(grep 'not found' <<<"$out")"
    fi
    # The private libraries come from the package, not from elsewhere.
    while read -r lib _ path _; do
        case "$lib" in
        libFotolien.so.* | libUsbpipe.so.*)
            [[ "$path" == "$root"/* ]] || fail "${file#"$root"} loads $lib from $path"
            ;;
        esac
    done <<<"$out"
    echo "${file#"$root"}: $(grep -c '=>' <<<"$out") libraries found"
done < <(find "$root" -type f -print0)

if [ -n "$sim" ]; then
    echo "== against the simulated camera ($sim)"
    [ -e "$sim/libUsbpipe.so.1" ] || fail "no simulated transport in $sim"
    LD_LIBRARY_PATH="$sim" "$root/usr/bin/orkactl" status >"$work/status" ||
        fail "orkactl status failed"
    head -n 3 "$work/status"
    # The window keeps running until the time-out stops it: exit 124.
    rc=0
    QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH="$sim" \
        timeout 5 "$root/usr/bin/PCOrka" >"$work/window" 2>&1 || rc=$?
    [ "$rc" -eq 124 ] || fail "PCOrka did not keep running (exit $rc): $(cat "$work/window")"
fi

[ "$status" -eq 0 ] && echo "== package checked"
exit "$status"
