#!/usr/bin/env bash
# Takes docs/screenshot.png: builds Kestrava when needed, starts a copy of it under Xvfb with a
# settings file of its own in a temporary folder (US English, the first-run help already seen)
# and grabs its main window with ImageMagick's `import`.
#   scripts/screenshot.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshot.png}"
build="${BUILD:-build}"

bash scripts/install-deps.sh
if [ ! -x "$build/src/kestrava" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target kestrava -j"$(nproc)" >/dev/null

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/app" "$tmp/config" "$tmp/cache" "$tmp/runtime" "$tmp/tmp"
chmod 700 "$tmp/runtime"
# A portable copy keeps its settings beside itself, so the user's own settings stay untouched.
cp "$build/src/kestrava" "$tmp/app/"
# Loan 2 is the same amount over 15 years at a lower rate, so the picture shows a comparison.
printf '[LastValues]\r\nterm2=180\r\nInterest2=7.5\r\n[GeneralValues]\r\nRun=1\r\n' \
    >"$tmp/app/Kestrava.Ini"
mkdir -p "$(dirname "$out")"

cat >"$tmp/shoot.sh" <<'EOF'
set -euo pipefail
app="$1"
out="$2"
LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8 "$app/kestrava" &
pid=$!
id=""
# The main window carries the program's class; Qt's 1x1 leader window has the same title.
for _ in $(seq 100); do
    id="$(xwininfo -root -tree 2>/dev/null | awk '/"Kestrava, 1.2.00": \("kestrava"/ { print $1; exit }')"
    [ -n "$id" ] && break
    sleep 0.1
done
if [ -z "$id" ]; then
    kill "$pid" 2>/dev/null || true
    echo "screenshot: the main window did not appear" >&2
    exit 1
fi
sleep 1 # the first paint
import -window "$id" "$out"
kill "$pid"
wait "$pid" 2>/dev/null || true
EOF

env -u WAYLAND_DISPLAY \
    XDG_CONFIG_HOME="$tmp/config" XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/runtime" \
    TMPDIR="$tmp/tmp" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    bash "$tmp/shoot.sh" "$tmp/app" "$(realpath -m "$out")"
echo "screenshot: wrote $out"
