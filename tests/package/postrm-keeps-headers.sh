#!/usr/bin/env bash
# Runs the package's configured postrm (removal, then purge) against a state folder under a
# scratch DPKG_ROOT, with the systemd helpers stubbed out, and checks that the detached LUKS2
# headers survive both, that the rest of the state goes with the purge, and that the output
# says where the headers are. Without headers the purge leaves nothing.
set -euo pipefail
postrm=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/bin"
for stub in deb-systemd-helper deb-systemd-invoke systemctl; do
  printf '#!/bin/sh\nexit 0\n' >"$root/bin/$stub"
  chmod +x "$root/bin/$stub"
done
run() { PATH="$root/bin:$PATH" DPKG_ROOT="$root" sh "$postrm" "$@"; }
fail=0
check() { if ! "$@"; then echo "FAILED: $*"; fail=1; fi; }

state=$root/var/lib/kestrane
mkdir -p "$state/luks"
echo "loop3 sda1" >"$state/usb-lists"
head -c 8192 /dev/urandom >"$state/luks/sdb1.luks2-header"
echo "size=1" >"$state/luks/sdb1.identity"
digest=$(sha256sum <"$state/luks/sdb1.luks2-header")

run remove >"$root/remove.out"
check grep -q "/var/lib/kestrane/luks" "$root/remove.out"
check test -f "$state/usb-lists"

run purge >"$root/purge.out"
check grep -q "/var/lib/kestrane/luks" "$root/purge.out"
check test "$(sha256sum <"$state/luks/sdb1.luks2-header")" = "$digest"
check test -f "$state/luks/sdb1.identity"
check test ! -e "$state/usb-lists"

# A header put aside (an encryption that died before touching its volume) is kept as well.
mv "$state/luks/sdb1.luks2-header" "$state/luks/sdb1.luks2-header.unused"
run purge >"$root/purge-aside.out"
check grep -q "/var/lib/kestrane/luks" "$root/purge-aside.out"
check test "$(sha256sum <"$state/luks/sdb1.luks2-header.unused")" = "$digest"

# No header kept: the purge takes the whole folder and says nothing about headers.
rm -f "$state/luks/sdb1.luks2-header.unused"
run purge >"$root/purge-empty.out"
check test ! -e "$state"
check test ! -s "$root/purge-empty.out"
exit $fail
