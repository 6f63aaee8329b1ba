#!/usr/bin/env bash
# Builds what it runs (the client, the server and the screenshot driver; scripts/test.sh builds
# everything), starts DorvaneServer with fresh demo data on free loopback ports, writes
# Dorvane.ini beside the built client and starts the client. With a display the server also posts
# hospital activity, so the lists change while you watch. Without a display the client runs under
# Xvfb: the demo sign-in is typed for it and screenshots of the login window and the main window
# are saved; then the screenshot driver opens each view of the real windows and saves it too, and
# prints the referral packet of case "C-2025-1013" to packet.pdf (its first page becomes
# packet.png). The server started here is stopped when the client ends.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup-deps.sh

# Signed updates: an Ed25519 key pair kept beside the builds (made once), the client built with its
# public key, and the server told to sign the copy it serves with the private one.
signing_dir="$root/build/update-signing"
update_key="$signing_dir/update-key.pem"
update_public_key="$signing_dir/update-key.pub.pem"
if [ ! -s "$update_key" ] || [ ! -s "$update_public_key" ]; then
  mkdir -p "$signing_dir"
  (umask 077 && openssl genpkey -algorithm ed25519 -out "$update_key")
  openssl pkey -in "$update_key" -pubout -out "$update_public_key"
fi
sign_updates=(--sign-updates "$update_key")
# Once the client has asked about the server's copy, the server keeps its signature beside it:
# wait for it (at most 30 s) and check it with the public key the client carries.
check_signed_copy() {
  local copy="$run/data/files/Clients/DorvaneProvider.exe"
  for _ in $(seq 1 150); do
    [ -s "$copy.sig" ] && break
    sleep 0.2
  done
  if ! openssl pkeyutl -verify -rawin -pubin -inkey "$update_public_key" -in "$copy" -sigfile "$copy.sig" \
    >/dev/null 2>&1; then
    echo "demo: the server's copy of the client carries no valid signature" >&2
    return 1
  fi
  echo "The server's copy of the client is signed (checked with $update_public_key)"
}

# The demo preset builds without optimisation and compiles files in batches (a batch is several
# files compiled as one); should a batch not compile, the same build runs without batches.
programs=(DorvaneProvider DorvaneServer DorvaneDemoShots)
cmake --preset demo -DDORVANE_UPDATE_PUBLIC_KEY="$update_public_key" >/dev/null
if ! cmake --build --preset demo --target "${programs[@]}"; then
  echo "demo: the batched build failed; building file by file" >&2
  cmake --preset demo -DCMAKE_UNITY_BUILD=OFF >/dev/null
  cmake --build --preset demo --target "${programs[@]}"
fi

build="$root/build/demo"
server_bin="$build/server/DorvaneServer"
client_bin="$build/app/DorvaneProvider.exe"
if [ ! -x "$server_bin" ]; then
  server_bin=$(find "$build" -type f -name DorvaneServer -perm -u+x | head -n 1)
fi
if [ -z "$server_bin" ] || [ ! -x "$server_bin" ] || [ ! -x "$client_bin" ]; then
  echo "demo: DorvaneServer or DorvaneProvider.exe was not built" >&2
  exit 1
fi

run="$build/demo-run"
rm -rf "$run"
mkdir -p "$run/data" "$run/screenshots"

server_pid=""
client_pid=""
xvfb_pid=""
cleanup() {
  if [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; then kill "$client_pid" 2>/dev/null || true; fi
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# The server picks free ports and reports them on one line.
activity=()
if [ -n "${DISPLAY:-}" ]; then activity=(--hospital-activity 30); fi
"$server_bin" --data "$run/data" --reset-demo --data-port 0 --function-port 0 "${activity[@]}" "${sign_updates[@]}" \
  >"$run/server.out" 2>"$run/server.log" &
server_pid=$!
ports=""
for _ in $(seq 1 300); do
  ports=$(grep -m1 -E '^data-port=[0-9]+ function-port=[0-9]+' "$run/server.out" || true)
  [ -n "$ports" ] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then break; fi
  sleep 0.2
done
if [ -z "$ports" ]; then
  echo "demo: DorvaneServer did not start; see $run/server.log" >&2
  exit 1
fi
data_port=$(sed -E 's/^data-port=([0-9]+) .*/\1/' <<<"$ports")
function_port=$(sed -E 's/.*function-port=([0-9]+).*/\1/' <<<"$ports")
echo "DorvaneServer: data port $data_port, function port $function_port (data in $run/data)"

# The server's copy of the client carries the same date as the built one, so no update runs.
mkdir -p "$run/data/files/Clients"
cp --preserve=timestamps "$client_bin" "$run/data/files/Clients/DorvaneProvider.exe"

# The client only accepts this server's certificate, and only updates itself from it.
pin=$(openssl x509 -in "$run/data/server.crt" -outform DER | sha256sum | cut -d' ' -f1) || {
  echo "demo: cannot read the certificate $run/data/server.crt" >&2
  exit 1
}
printf '[DataServer]\r\nIP=127.0.0.1\r\nPort=%s\r\nCertificateSHA256=%s\r\n\r\n[FunctionServer]\r\nIP=127.0.0.1\r\nPort=%s\r\n\r\n[Update]\r\nRequirePinnedServer=1\r\n' \
  "$data_port" "$pin" "$function_port" >"$(dirname "$client_bin")/Dorvane.ini"

echo "Sign in with e-mail admin@bayview.example and password demo1234"

if [ -n "${DISPLAY:-}" ]; then
  "$client_bin" &
  client_pid=$!
  check_signed_copy || true
  wait "$client_pid" || true
  client_pid=""
  exit 0
fi

# No display: a virtual one, the sign-in typed by xdotool, screenshots of both windows.
display_number=99
while [ -e "/tmp/.X11-unix/X$display_number" ] || [ -e "/tmp/.X$display_number-lock" ]; do
  display_number=$((display_number + 1))
done
Xvfb ":$display_number" -screen 0 1280x800x24 -nolisten tcp >"$run/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display_number"
for _ in $(seq 1 100); do
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.1
done

QT_QPA_PLATFORM=xcb "$client_bin" >"$run/client.log" 2>&1 &
client_pid=$!

shots="$run/screenshots"
login_window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Hospital Discharge Provider Login$' | head -n 1)
if [ -z "$login_window" ]; then
  echo "demo: the login window did not appear; see $run/client.log" >&2
  exit 1
fi
# Give the first-showing work (connecting, update check) time to finish and draw.
sleep 3
import -window root "$shots/login.png"
check_signed_copy

xdotool windowfocus --sync "$login_window" || true
xdotool mousemove --window "$login_window" 200 43 click 1
xdotool type --delay 20 'admin@bayview.example'
xdotool key Tab
xdotool type --delay 20 'demo1234'
xdotool key Tab space

main_window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Hospital Discharge Provider$' | head -n 1)
if [ -z "$main_window" ]; then
  import -window root "$shots/failed.png" || true
  echo "demo: the main window did not appear; see $run/client.log and $shots" >&2
  exit 1
fi
sleep 3
import -window root "$shots/main.png"

kill "$client_pid" 2>/dev/null || true
wait "$client_pid" 2>/dev/null || true
client_pid=""

# Every other view, from the real windows driven by object name.
shots_bin="$build/demo/DorvaneDemoShots"
if ! QT_QPA_PLATFORM=xcb "$shots_bin" "$(dirname "$client_bin")" "$shots" admin@bayview.example demo1234 \
  >"$run/shots.log" 2>&1; then
  echo "demo: the screenshot driver failed; see $run/shots.log" >&2
  exit 1
fi

# The referral packet of case "C-2025-1013" that the screenshot driver printed to packet.pdf, and
# its first page as packet.png.
if [ ! -s "$shots/packet.pdf" ]; then
  echo "demo: the referral packet was not written; see $run/shots.log" >&2
  exit 1
fi
if ! pdftoppm -png -r 110 -f 1 -l 1 -singlefile "$shots/packet.pdf" "$shots/packet"; then
  echo "demo: the first page of $shots/packet.pdf could not be turned into a picture" >&2
  exit 1
fi

echo "Screenshots: $shots"
ls "$shots"
