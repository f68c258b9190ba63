#!/bin/sh
# Orvex's system log lines in the systemd journal, with the fields a reader filters by, and
# through syslog into the same journal when its native socket is missing. A real
# systemd-journald runs in a private mount namespace (its own /run, /var/log and /dev), so
# the machine's journal is never touched. Needs root for the namespace; exits 77 (skipped)
# where it cannot have one.
#   journal_e2e_test.sh BINDIR
set -eu

if [ "${1-}" != inside ]; then
  journald=/lib/systemd/systemd-journald
  if [ "$(id -u)" -ne 0 ] || [ ! -x "$journald" ] || ! unshare -m true 2>/dev/null; then
    echo "skipped: needs root, unshare -m and $journald"
    exit 77
  fi
  exec unshare -m --propagation private sh "$0" inside "$@"
fi
bin=$2
# Everything below changes mounts; never outside a namespace of its own.
if [ "$(readlink /proc/self/ns/mnt)" = "$(readlink /proc/1/ns/mnt)" ]; then
  echo "FAIL: not in a private mount namespace"
  exit 1
fi

work=$(mktemp -d /tmp/orvex-journal-XXXXXX)
cleanup() {
  [ -n "${orvex_pid-}" ] && kill "$orvex_pid" 2>/dev/null || true
  [ -n "${journald_pid-}" ] && kill "$journald_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  journalctl --no-pager -o verbose -t orvex 2>&1 | tail -40 || true
  exit 1
}

# Polls (0.1 s, for up to 20 s) until the command succeeds.
eventually() {
  tries=200
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# A private /dev, made here from scratch (nothing of the machine's /dev is mounted into
# it), holds what the programs need and /dev/log, where syslog() writes.
mount -t tmpfs -o mode=0755 tmpfs /dev
mknod -m 666 /dev/null c 1 3
mknod -m 666 /dev/zero c 1 5
mknod -m 666 /dev/random c 1 8
mknod -m 666 /dev/urandom c 1 9
ln -s /run/systemd/journal/dev-log /dev/log
mount -t tmpfs tmpfs /run
mount -t tmpfs tmpfs /var/log
mkdir -p /run/systemd/journal

/lib/systemd/systemd-journald >"$work/journald.log" 2>&1 &
journald_pid=$!
eventually test -S /run/systemd/journal/socket || fail "journald did not start: $(cat "$work/journald.log")"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME" "$XDG_CONFIG_HOME"

# One Orvex run: a command answered, and a command file it cannot read.
run_orvex() {
  "$bin/orvex" --headless >"$work/orvex.out" 2>&1 &
  orvex_pid=$!
  eventually grep -q "orvex: running" "$work/orvex.out" || fail "orvex did not start: $(cat "$work/orvex.out")"
  "$bin/orvex-cli" app.status >/dev/null || fail "app.status was not answered"
  printf 'not json' >"$XDG_CONFIG_HOME/orvex/commands/$1.command.json"
  eventually test ! -e "$XDG_CONFIG_HOME/orvex/commands/$1.command.json" || fail "the broken file stayed"
  kill "$orvex_pid"
  wait "$orvex_pid" || fail "orvex did not stop cleanly"
  orvex_pid=
}

# $1: journalctl matches; $2: the start of a MESSAGE that must be among them.
logged() {
  journalctl --no-pager -o cat -t orvex $1 | grep -q "^$2"
}

run_orvex NATIVE
eventually logged "_TRANSPORT=journal ORVEX_SUBSYSTEM=CommandQueue PRIORITY=6" \
  '\[CommandQueue\] Processing command: app.status (id: ' || fail "no info line with its subsystem"
eventually logged "_TRANSPORT=journal ORVEX_SUBSYSTEM=CommandQueue PRIORITY=3" \
  '\[CommandQueue\] Failed to parse command file' || fail "no error line with its subsystem"

# Without the native socket the lines go through syslog, still as "orvex" and with their
# levels; the subsystem is then only in the text.
rm /run/systemd/journal/socket
run_orvex SYSLOG
eventually logged "_TRANSPORT=syslog PRIORITY=6" '\[CommandQueue\] Processing command: app.status' ||
  fail "no info line through syslog"
eventually logged "_TRANSPORT=syslog PRIORITY=3" '\[CommandQueue\] Failed to parse command file' ||
  fail "no error line through syslog"
if journalctl --no-pager -o cat -t orvex _TRANSPORT=syslog ORVEX_SUBSYSTEM=CommandQueue | grep -q .; then
  fail "a syslog line carries a journal field"
fi
echo "journal and syslog fallback: ok"
