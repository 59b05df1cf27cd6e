#!/usr/bin/env bash
# The real program read by a screen reader's library (AT-SPI) under Xvfb and a private D-Bus
# session; keys are real X key events from xdotool.
# Usage: atspi_e2e.sh PROGRAM CHECKSUM_TOOL. Exits 77 (skipped) where the tools are missing.
set -u
here=$(dirname "${BASH_SOURCE[0]}")

for tool in Xvfb xvfb-run xauth dbus-run-session xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (scripts/debian-packages lists it)"
    exit 77
  fi
done
if ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
  echo "SKIP: python3-gi or gir1.2-atspi-2.0 is not installed (scripts/debian-packages lists them)"
  exit 77
fi

unset QT_QPA_PLATFORM WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
exec xvfb-run -a -s "-noreset -nolisten tcp -screen 0 1280x1024x24" \
  dbus-run-session -- /usr/bin/python3 "$here/atspi_e2e.py" "$1" "$2"
