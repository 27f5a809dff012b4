#!/usr/bin/env bash
# Builds the Debian package and checks it: unpacks it into a scratch root with
# dpkg -x, runs the installed programs from there, and runs the validators
# (desktop-file-validate, appstreamcli, lintian: errors fail the check).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh desktop-file-utils appstream lintian

scripts/package.sh
deb=$(ls build/ecu-vantor_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Depends

root=$(mktemp -d)
home=$(mktemp -d)
runtime=$(mktemp -d)
chmod 700 "$runtime"
trap 'rm -rf "$root" "$home" "$runtime"' EXIT
dpkg -x "$deb" "$root"

fail() { echo "check-package: $*" >&2; exit 1; }

for f in usr/bin/ecu-vantor usr/bin/ecu-vantor-sim usr/bin/ecu-vantor-cli \
         usr/share/applications/ecu-vantor.desktop \
         usr/share/metainfo/example.ecuvantor.EcuVantor.metainfo.xml \
         usr/share/icons/hicolor/48x48/apps/ecu-vantor.png \
         usr/share/icons/hicolor/128x128/apps/ecu-vantor.png \
         usr/share/icons/hicolor/256x256/apps/ecu-vantor.png \
         usr/share/icons/hicolor/scalable/apps/ecu-vantor.svg \
         usr/lib/udev/rules.d/70-ecu-vantor.rules \
         usr/share/man/man1/ecu-vantor.1.gz usr/share/man/man1/ecu-vantor-sim.1.gz \
         usr/share/man/man1/ecu-vantor-cli.1.gz \
         usr/share/bash-completion/completions/ecu-vantor-cli \
         usr/share/doc/ecu-vantor/copyright usr/share/doc/ecu-vantor/changelog.gz; do
  [ -e "$root/$f" ] || fail "missing from the package: /$f"
done

# The programs as installed, with their own settings and runtime folders.
run() { env HOME="$home" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
        LD_LIBRARY_PATH="$root/usr/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" "$@"; }
version=$(run "$root/usr/bin/ecu-vantor" --version)
echo "ecu-vantor --version: $version"
[ "$version" = "ECU Vantor 2.0.0.1" ] || fail "ecu-vantor --version printed '$version'"
rc=0
run "$root/usr/bin/ecu-vantor" --no-such-option 2>/dev/null || rc=$?
[ "$rc" -eq 2 ] || fail "ecu-vantor --no-such-option exited with $rc, not 2"
# The command line needs no display: no platform plugin for it.
cli() { env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" XDG_RUNTIME_DIR="$runtime" \
        LD_LIBRARY_PATH="$root/usr/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" "$root/usr/bin/ecu-vantor-cli" "$@"; }
version=$(cli --version)
echo "ecu-vantor-cli --version: $version"
[ "$version" = "ECU Vantor 2.0.0.1" ] || fail "ecu-vantor-cli --version printed '$version'"
help=$(cli --help --lang en)
for word in ports probe read write monitor show diff --json; do
  grep -q -- "$word" <<<"$help" || fail "ecu-vantor-cli --help does not mention $word"
done
rc=0
cli --no-such-option 2>/dev/null || rc=$?
[ "$rc" -eq 2 ] || fail "ecu-vantor-cli --no-such-option exited with $rc, not 2"
if ldd "$root/usr/bin/ecu-vantor-cli" | grep -qi widgets; then
  fail "ecu-vantor-cli links a widgets library"
fi
bash -c 'source "$1" && complete -p ecu-vantor-cli' _ "$root/usr/share/bash-completion/completions/ecu-vantor-cli" >/dev/null \
  || fail "the bash completion of ecu-vantor-cli does not load"
run "$root/usr/bin/ecu-vantor-sim" --help | head -n 1
run "$root/usr/bin/ecu-vantor-sim" --help | grep -q -- '--paced' || fail "ecu-vantor-sim --help lists no options"

# The command line as a workshop runs it, against the installed simulator:
# probe, read, then write what was read back (with the check).
# Started through env, which becomes the simulator: $! is its own id.
env HOME="$home" XDG_RUNTIME_DIR="$runtime" \
    LD_LIBRARY_PATH="$root/usr/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
    "$root/usr/bin/ecu-vantor-sim" --quiet >"$home/sim.log" 2>&1 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; rm -rf "$root" "$home" "$runtime"' EXIT
for _ in $(seq 100); do
  [ -e "$runtime/ecu-vantor-ports/ecu-sim" ] && break
  sleep 0.05
done
probe=$(cli --json probe --port ecu-sim) || fail "ecu-vantor-cli probe found no simulator: $(cat "$home/sim.log")"
grep -q '"hardware": 10' <<<"$probe" || fail "ecu-vantor-cli --json probe printed: $probe"
cli read --port ecu-sim -o "$home/a.prf" || fail "ecu-vantor-cli read against the simulator failed"
[ "$(stat -c %s "$home/a.prf")" -eq 42 ] || fail "ecu-vantor-cli read wrote no 42-byte profile"
cli write "$home/a.prf" --port ecu-sim || fail "ecu-vantor-cli write against the simulator failed"
kill "$sim"
wait "$sim" 2>/dev/null || true

desktop-file-validate "$root/usr/share/applications/ecu-vantor.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.ecuvantor.EcuVantor.metainfo.xml"
lintian_rc=0
lintian_out=$(lintian --fail-on error "$deb" 2>&1) || lintian_rc=$?
grep -v '^running with root privileges' <<<"$lintian_out" || true
[ "$lintian_rc" -eq 0 ] || fail "lintian found errors"
if command -v man >/dev/null; then
  for page in ecu-vantor ecu-vantor-sim ecu-vantor-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page $page: $warnings"
  done
fi
echo "check-package: $deb passed"
