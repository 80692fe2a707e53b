#!/bin/sh
# harbormindctl unmount and eject against a real loop device: they wait for the result,
# refuse a volume in use (naming the program), never eject a disk whose file system was
# detached while a program still writes to it, refuse the system disk, and fail for an
# unprivileged user. Needs root, loop devices and runuser; skips (exit 77) elsewhere.
# Usage: real-device-unmount-eject.sh HARBORMINDCTL HARBORMIND-MOUNT
set -u
ctl=$1
helper=$2
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "needs root to attach loop devices"
[ -e /dev/loop-control ] || skip "no loop device support"
for tool in losetup partx sfdisk mkfs.ext4 runuser useradd userdel; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done

work=$(mktemp -d /tmp/hm-cli-XXXXXX)
chmod 755 "$work"
user="hmt$$"
loop=""
luks=""
holder=""
failures=0

cleanup() {
    [ -n "$holder" ] && kill "$holder" 2>/dev/null && wait "$holder" 2>/dev/null
    if [ -n "$loop" ] && [ "$(cat /sys/block/${loop#/dev/}/loop/backing_file 2>/dev/null)" = "$work/disk.img" ]; then
        grep -a "^${loop}p1 " /proc/self/mounts | while read -r _ point _; do umount -l "$point"; done
        partx -d "$loop" 2>/dev/null
        losetup -d "$loop"
    fi
    if [ -n "$luks" ] && [ "$(cat /sys/block/${luks#/dev/}/loop/backing_file 2>/dev/null)" = "$work/luks.img" ]; then
        for mapping in /sys/block/${luks#/dev/}/holders/*; do
            [ -e "$mapping" ] && cryptsetup close "$(cat "$mapping/dm/name")"
        done
        losetup -d "$luks"
    fi
    id "$user" >/dev/null 2>&1 && userdel "$user"
    rm -rf "$work"
}
trap cleanup EXIT
# The trap does not run when the test runner kills this script at its time limit. A process
# outside this script's tree then does it: it waits for end of file on a pipe that only this
# script (and what it starts) holds open, and frees what was made of this run's own images,
# found by their exact paths.
mkfifo "$work/alive"
setsid -f sh -c '
    cat "$1/alive" >/dev/null
    for backing in /sys/block/loop*/loop/backing_file; do
        file=$(cat "$backing" 2>/dev/null) || continue
        [ "$file" = "$1/disk.img" ] || [ "$file" = "$1/luks.img" ] || continue
        name=${backing#/sys/block/}
        name=${name%%/*}
        grep -a "^/dev/${name}p1 " /proc/self/mounts | while read -r _ point _; do umount -l "$point"; done
        for mapping in /sys/block/$name/holders/*; do
            [ -e "$mapping" ] && cryptsetup close "$(cat "$mapping/dm/name")"
        done
        partx -d "/dev/$name"
        losetup -d "/dev/$name"
    done
    id "$2" >/dev/null 2>&1 && userdel "$2"
    rm -rf "$1"' exit-cleanup "$work" "$user" </dev/null >/dev/null 2>&1
exec 9>"$work/alive"

check() { # description, then the command; the command must succeed
    what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
mounted() { grep -aq "^${loop}p1 " /proc/self/mounts; }
has() { case "$1" in *"$2"*) return 0 ;; esac; return 1; }

truncate -s 160M "$work/disk.img"
printf 'label: gpt\n,150M\n' | sfdisk -q "$work/disk.img" || skip "sfdisk failed"
loop=$(losetup -fP --show "$work/disk.img") || skip "no free loop device"
[ -e "${loop}p1" ] || partx -a "$loop"
# A label that is not UTF-8 and carries a terminal escape sequence.
mkfs.ext4 -q -L "$(printf 'Caf\351\033[2J')" "${loop}p1" || skip "mkfs.ext4 failed"
name=${loop#/dev/}
# Root mounts in its own process, under /media/root. Unlock and lock still run the mount
# helper, which takes its media root from root's command line only: a wrapper gives it.
mkdir -p "$work/media"
printf '#!/bin/sh\nexec "%s" --media-root "%s" "$@"\n' "$helper" "$work/media" > "$work/helper"
chmod 0755 "$work/helper"
export HARBORMIND_MOUNT_HELPER="$work/helper"

out=$("$ctl" mount "${name}p1" 2>&1)
check "mount prints where the volume went ($out)" has "$out" "Mounted ${name}p1 at /media/root/"
check "the volume is mounted" mounted
out=$("$ctl" list 2>&1); status=$?
check "list shows the label escaped" has "$out" 'Caf\xE9\x1B[2J'
escape=$(printf '\033')
check "list prints no raw escape character" eval '! has "$out" "$escape"'
"$ctl" list --json >/dev/null 2>&1; status=$?
check "list --json copes with a label that is not UTF-8 (status $status)" [ "$status" -eq 0 ]
point=$(grep -a "^${loop}p1 " /proc/self/mounts | cut -d' ' -f2)
[ -n "$point" ] && [ -d "$point" ] || { echo "FAILED: no mount point"; exit 1; }

# A program writing to a file on the volume.
sh -c "exec 3>>'$point/open-file'; exec sleep 120" &
holder=$!
sleep 0.3

out=$("$ctl" unmount "${name}p1" 2>&1); status=$?
check "a busy unmount fails" [ "$status" -ne 0 ]
check "it names the program ($out)" has "$out" "in use by sleep (pid $holder)"
check "the busy volume stays mounted" mounted

out=$("$ctl" eject "$name" 2>&1); status=$?
check "eject of a disk with a busy volume fails ($out)" [ "$status" -ne 0 ]
check "the disk is still attached" [ -e "/sys/block/$name" ]

useradd -M -s /bin/sh "$user" || skip "useradd failed"
out=$(runuser -u "$user" -- "$ctl" unmount "${name}p1" 2>&1); status=$?
check "an unprivileged unmount fails ($out)" [ "$status" -ne 0 ]
out=$(runuser -u "$user" -- "$ctl" eject "$name" 2>&1); status=$?
check "an unprivileged eject fails ($out)" [ "$status" -ne 0 ]
check "the volume is still mounted after the unprivileged tries" mounted

out=$("$ctl" unmount --force "${name}p1" 2>&1); status=$?
check "a forced unmount detaches the volume ($out)" [ "$status" -eq 0 ]
out=$("$ctl" eject "$name" 2>&1); status=$?
check "no eject while the detached file system is still written to ($out)" [ "$status" -ne 0 ]
check "the disk is still attached after that refusal" [ -e "/sys/block/$name" ]

kill "$holder"; wait "$holder" 2>/dev/null; holder=""
sleep 0.3
out=$("$ctl" eject "$name" 2>&1); status=$?
check "eject succeeds once nothing uses the disk ($out)" [ "$status" -eq 0 ]
check "the loop device is detached" [ ! -e "/sys/block/$name/loop/backing_file" ]
[ -e "/sys/block/$name/loop/backing_file" ] || loop=""

system=$(findmnt -n -o SOURCE / | sed 's|^/dev/||')
if [ -e "/sys/class/block/$system" ]; then
    out=$("$ctl" eject "$system" 2>&1); status=$?
    check "eject of the system disk fails ($out)" [ "$status" -ne 0 ]
fi

# LUKS: unlock and lock through the drive model, the passphrase on standard input; where the
# kernel has no device-mapper the failure says so.
if command -v cryptsetup >/dev/null 2>&1; then
    truncate -s 120M "$work/luks.img"
    printf 'pw' | cryptsetup luksFormat --type luks2 -q --pbkdf pbkdf2 --pbkdf-force-iterations 1000 \
        --key-file=- "$work/luks.img"
    luks=$(losetup -f --show "$work/luks.img")
    lname=${luks#/dev/}
    out=$(printf 'pw' | "$ctl" unlock "$lname" 2>&1); status=$?
    if [ -e /sys/class/misc/device-mapper ]; then
        check "unlock opens the LUKS volume ($out)" [ "$status" -eq 0 ]
        out=$("$ctl" lock "$lname" 2>&1); status=$?
        check "lock closes it again ($out)" [ "$status" -eq 0 ]
    else
        check "unlock without device-mapper fails and names it ($out)" \
            sh -c '[ "$1" -ne 0 ] && case "$2" in *device-mapper*) true ;; *) false ;; esac' - "$status" "$out"
    fi
    out=$(printf 'wrong' | "$ctl" unlock "$lname" 2>&1); status=$?
    check "a wrong passphrase fails ($out)" [ "$status" -ne 0 ]
fi

[ "$failures" -eq 0 ]
