#!/usr/bin/env bash
# Runs zel-demo in a real terminal, a tmux window of the given width, and
# checks what the user sees on the screen and in the scrollback: one bar line,
# no broken or repeated bar fragments, every log line starting at column 0, an
# estimate of the remaining time while it runs, and the cursor shown at the
# end. A second run is cancelled with Ctrl-C: exit code 130, and the last bar
# line says "cancelled".
# Usage: check_terminal.sh <zel-demo> <columns>. Exits 77 (skipped) without tmux.
set -uo pipefail
demo=$1 columns=$2
if ! command -v tmux >/dev/null; then
  echo "SKIP: tmux is not installed (the CI script installs it)"
  exit 77
fi
work=$(mktemp -d)
socket=$work/tmux
tmux() { command tmux -S "$socket" -f /dev/null "$@"; }
trap 'tmux kill-server 2>/dev/null; rm -rf "$work"' EXIT
unset TMUX QEN_LANGUAGE QEN_OKA_LOCALE ZEL_ERROR_LOG COLUMNS

failures=0
fail() { echo "FAIL ($columns columns): $*"; failures=$((failures + 1)); }

# Starts the demo in a detached window; the exit code lands in $work/<name>.status.
start() {
  local name=$1; shift
  tmux new-session -d -s "$name" -x "$columns" -y 40 \
    "'$demo' $*; echo \$? > '$work/$name.status'; sleep 300"
}
# Waits up to a minute for the run to end; captures the screen every 0.1 s
# meanwhile, the last capture with a time left into $work/<name>.midrun.
wait_for() {
  local name=$1 i
  for ((i = 0; i < 600; ++i)); do
    [ -s "$work/$name.status" ] && return 0
    tmux capture-pane -p -t "$name" > "$work/$name.screen"
    grep -qE '[0-9]+:[0-9]{2} left' "$work/$name.screen" && cp "$work/$name.screen" "$work/$name.midrun"
    sleep 0.1
  done
  fail "$name did not end within a minute"
  return 1
}
# The whole history and screen, one row per line, as the user scrolls it.
capture() { tmux capture-pane -p -S - -E - -t "$1" | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'; }

bar_pattern='\[[#-]+\] +[0-9]+%'
fragment_pattern='\[[#-]{2,}|[#-]{2,}\]|[0-9]+%  [0-9]+:[0-9]{2}'

check_screen() {
  local name=$1 all=$2 rows bars
  rows=$(wc -l < "$all")
  bars=$(grep -cE "$fragment_pattern" "$all")
  [ "$bars" -eq 1 ] || fail "$name: $bars bar lines or fragments, expected the final one alone"
  grep -E "$bar_pattern" "$all" | tail -n 1 | grep -qE "$3" || fail "$name: last bar line lacks '$3'"
  awk -v w="$columns" 'length($0) > w { exit 1 }' "$all" || fail "$name: a row wider than the window"
  # Log lines start at column 0 and nowhere else.
  local entry='[A-Za-z_-]+::[A-Za-z_~]+ - '
  if grep -E "$entry" "$all" | grep -vE "^$entry"; then fail "$name: log lines not at column 0"; fi
  grep -qE "^MeshReader::read - " "$all" || fail "$name: the first log line is missing"
  [ "$(tmux display-message -p -t "$name" '#{cursor_flag}')" = 1 ] || fail "$name: cursor hidden"
  [ "$rows" -gt 0 ] || fail "$name: nothing captured"
}

# A whole run, slow enough to be seen while it runs.
start full --lang en_GB
if wait_for full; then
  capture full > "$work/full.all"
  [ "$(cat "$work/full.status")" = 0 ] || fail "full run: exit code $(cat "$work/full.status")"
  check_screen full "$work/full.all" '100%'
  [ -s "$work/full.midrun" ] || fail "no estimate of the time left seen while it ran"
  grep -qx "Done." "$work/full.all" || fail "full run: no 'Done.'"
fi

# Cancelled with Ctrl-C once the assembly has reported, with seconds of work
# still ahead.
start cancel --lang en_GB
for ((i = 0; i < 600; ++i)); do
  tmux capture-pane -p -t cancel | grep -q "Assembler::assemble" && break
  sleep 0.05
done
tmux send-keys -t cancel C-c
if wait_for cancel; then
  capture cancel > "$work/cancel.all"
  [ "$(cat "$work/cancel.status")" = 130 ] || fail "Ctrl-C: exit code $(cat "$work/cancel.status")"
  check_screen cancel "$work/cancel.all" 'cancelled'
fi

if [ "$failures" -ne 0 ]; then
  for f in "$work"/*.all "$work"/*.midrun; do [ -e "$f" ] && { echo "--- $(basename "$f")"; cat "$f"; }; done
  exit 1
fi
echo "terminal $columns: ok"
