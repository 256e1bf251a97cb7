#!/bin/sh
# Makes docs/welcome.svg, the README's picture: the viewer on its welcome
# page in a tmux pane of 80 by 25, captured with its colours and turned
# into SVG by tools/capture-to-svg.py.
# Usage: docs/welcome-picture.sh [BINARY]   (default build/default/orbisline)
set -eu
cd "$(dirname "$0")/.." || exit 1
bin=${1:-build/default/orbisline}
case $bin in /*) ;; *) bin=$PWD/$bin ;; esac
work=$(mktemp -d)
socket=$work/tmux.socket
trap 'tmux -S "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT

printf 'set -g default-terminal tmux-256color\nset -g status off\n' >"$work/tmux.conf"
tmux -S "$socket" -f "$work/tmux.conf" new-session -d -s picture -x 80 -y 25 \
  "env -u ORBISLINE_PLUGIN LANG=C.UTF-8 TMPDIR='$work' XDG_CONFIG_HOME='$work' \
ORBISLINE_REGISTRY='$work/registry' '$bin'"
# The page is shown once its last line is drawn: the key bar.
tries=0
until tmux -S "$socket" capture-pane -p -t picture | grep -q 'Quit'; do
  tries=$((tries + 1))
  if [ "$tries" -gt 200 ]; then
    echo "welcome-picture: the viewer showed no page" >&2
    exit 1
  fi
  sleep 0.05
done
# The cursor onto the first link ("Keys and mouse"), so that the picture
# shows one lit.
tmux -S "$socket" send-keys -t picture Down Down Down Down Down Down Down Down Down Down Down Right Right Right Right
sleep 0.5
tmux -S "$socket" capture-pane -p -e -N -t picture >"$work/screen"
python3 tools/capture-to-svg.py --columns 80 --rows 25 "$work/screen" docs/welcome.svg
echo "wrote docs/welcome.svg"
