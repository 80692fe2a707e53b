#!/usr/bin/env bash
# Builds the package with scripts/package (or takes $HARBORMIND_PACKAGE_DEB), installs it with
# apt-get, runs harbormindctl from /usr/bin, purges the package and checks that nothing of it is
# left. Exits 77 (skipped) unless asked for with HARBORMIND_PACKAGE_TEST=1, as root, with apt.
set -euo pipefail
source_dir=$1
skip() { echo "SKIPPED: $*"; exit 77; }

[ "${HARBORMIND_PACKAGE_TEST:-}" = 1 ] || skip "set HARBORMIND_PACKAGE_TEST=1 to install the package on this machine"
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v dpkg >/dev/null && command -v apt-get >/dev/null || skip "dpkg and apt-get are needed"
if dpkg-query -W -f='${Status}' kestrane-harbormind 2>/dev/null | grep -q installed; then
  skip "kestrane-harbormind is already installed here; not touching it"
fi

deb=${HARBORMIND_PACKAGE_DEB:-}
if [ -z "$deb" ]; then
  deb=$("$source_dir"/scripts/package | tail -n 1)
fi
deb=$(readlink -m "$deb")
[ -f "$deb" ] || { echo "no package at $deb"; exit 1; }

apt=(apt-get -y -qq -o DPkg::Lock::Timeout=300)
work=$(mktemp -d)
cleanup() {
  if dpkg-query -W -f='${Status}' kestrane-harbormind 2>/dev/null | grep -q installed; then
    DEBIAN_FRONTEND=noninteractive "${apt[@]}" purge kestrane-harbormind >/dev/null || true
  fi
  rm -rf "$work"
  if [ -n "$aside" ]; then
    rm -rf /var/lib/kestrane
    mv "$aside/kestrane" /var/lib/kestrane
    rmdir "$aside"
  fi
}
aside=
trap cleanup EXIT
# A /var/lib/kestrane without the package (a daemon run from the build folder, by scripts/run or
# a test, made it) is not the package's to purge: it waits aside and comes back afterwards.
if [ -e /var/lib/kestrane ]; then
  aside=$(mktemp -d /var/lib/harbormind-package-test.XXXXXX)
  mv /var/lib/kestrane "$aside/"
fi

# The package's data paths, and which of them existed before (shared folders such as /usr/bin).
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^/\?$' >"$work/paths"
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done <"$work/paths" >"$work/before"

ours() {
  find /usr /etc /var/lib /lib/systemd -xdev \( -iname '*harbormind*' -o -iname '*kestrane*' -o -name 'drivemanagerd*' \) \
    2>/dev/null | sort
}
ours >"$work/found-before"

cd "$(dirname "$deb")"
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install --no-install-recommends "./$(basename "$deb")" >/dev/null
dpkg -L kestrane-harbormind >"$work/listed"

fail=0
check() { if ! "$@"; then echo "FAILED: $*"; fail=1; fi; }
check test -x /usr/bin/harbormindctl
check test -x /usr/libexec/harbormind/harbormind-mount
check test -d /var/lib/kestrane
check test "$(stat -c %a /var/lib/kestrane)" = 755
version=$(/usr/bin/harbormindctl --version)
echo "installed: $version"
check /usr/bin/harbormindctl list
if /usr/bin/harbormindctl --help | grep -qE '^  daemon '; then
  if [ -S /run/dbus/system_bus_socket ]; then
    check /usr/bin/harbormindctl daemon status
  else
    # No system bus on this machine: the verb must still run and say so, not crash.
    status=0
    /usr/bin/harbormindctl daemon status || status=$?
    check test "$status" -lt 128
  fi
fi
# The daemon's bus interfaces, described for other tools.
for service in BitLockerXPC NtfsXPC checkDiskXPC deviceCloneXPC usbblockerXPC luksXPC diskToolsXPC updateXPC \
               mountXPC Daemon BitLockerXPC.App luksXPC.App deviceCloneXPC.App checkDiskXPC.App; do
  check test -f "/usr/share/dbus-1/interfaces/com.Kestrane.drivemanagerd.$service.xml"
done
if [ -x /usr/bin/harbormind ]; then
  check test -f /usr/share/applications/com.kestrane.harbormind.desktop
  check test -f /usr/share/icons/hicolor/scalable/apps/com.kestrane.harbormind.svg
  check test -f /usr/share/harbormind/translations/harbormind_en.qm
  check test -f /usr/share/harbormind/translations/harbormind_de.qm
fi

# The agent's unit as the daemon writes it when USB Warden is turned on: removal takes it too.
agent_unit=/etc/systemd/user/harbormind-usbagent.service
made_unit_folder=
if [ ! -d /etc/systemd/user ]; then
  mkdir -p /etc/systemd/user
  made_unit_folder=1
fi
if [ ! -e "$agent_unit" ]; then
  printf '[Service]\nExecStart=/usr/libexec/kestrane/harbormind-usbagent\n' >"$agent_unit"
fi

# A detached LUKS2 header the daemon keeps is the only way into its volume: a purge keeps it
# and says where it is.
install -d -m 0700 /var/lib/kestrane/luks
head -c 4096 /dev/urandom >/var/lib/kestrane/luks/loop99.luks2-header
echo "size=1" >/var/lib/kestrane/luks/loop99.identity
header_digest=$(sha256sum </var/lib/kestrane/luks/loop99.luks2-header)
DEBIAN_FRONTEND=noninteractive "${apt[@]}" purge kestrane-harbormind >"$work/purge.out" 2>&1
check grep -q "/var/lib/kestrane/luks" "$work/purge.out"
check test "$(sha256sum </var/lib/kestrane/luks/loop99.luks2-header 2>/dev/null)" = "$header_digest"
check test -f /var/lib/kestrane/luks/loop99.identity
if [ "$(find /var/lib/kestrane -mindepth 1 | sort | tr '\n' ' ')" != \
     "/var/lib/kestrane/luks /var/lib/kestrane/luks/loop99.identity /var/lib/kestrane/luks/loop99.luks2-header " ]; then
  echo "the purge left more than the headers:"; find /var/lib/kestrane; fail=1
fi
rm -rf /var/lib/kestrane
if [ -e "$agent_unit" ]; then
  echo "left behind: $agent_unit"
  rm -f "$agent_unit"
  fail=1
fi
[ -z "$made_unit_folder" ] || rmdir /etc/systemd/user 2>/dev/null || true

# Everything the package listed must be gone, except what was there before it came.
while read -r path; do
  if { [ -e "$path" ] || [ -L "$path" ]; } && ! grep -qxF "$path" "$work/before"; then
    echo "left behind: $path"
    fail=1
  fi
done < <(sort -u "$work/listed" "$work/paths" | grep -vxE '/\.?')
ours >"$work/found-after"
if ! diff -u "$work/found-before" "$work/found-after"; then
  echo "files named after us appeared and stayed (above)"
  fail=1
fi
if [ -e /var/lib/kestrane ]; then
  echo "left behind: /var/lib/kestrane"
  fail=1
fi
exit $fail
