#!/bin/sh
# Runs atspi_shot.py on its own session bus with the accessibility bus and a
# virtual X server: run_atspi.sh PROGRAM LANG WORKDIR. Exit 77 (skipped) when
# the machine lacks what it needs.
set -u
here=$(dirname "$0")
python=/usr/bin/python3
for tool in dbus-run-session xvfb-run /usr/libexec/at-spi-bus-launcher "$python"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool missing (packages dbus, xvfb, at-spi2-core, python3)"
        exit 77
    fi
done
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
    echo "SKIP: python3-pyatspi missing"
    exit 77
fi
mkdir -p "$3"
# The accessibility bus starts on demand when the first client asks for it.
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1400x900x24" \
    "$python" "$here/atspi_shot.py" --program "$1" --lang "$2" --workdir "$3"
