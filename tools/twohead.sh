# Two monitors under Wine (Xvfb cannot show it two). Source me, then:
#   twohead_up N LAYOUT   starts display :N, an Xorg server with the dummy driver and two 1280 x 1024
#                         outputs: LAYOUT left puts the second monitor left of the primary one
#                         (Windows x -1280..-1), above puts it above (y -1024..-1); sets DISPLAY and
#                         XORG_PID; fails when the server does not come up
#   twohead_down          ends it
# Needs root, /dev/tty0 (it shares virtual terminal 1) and the Debian packages xserver-xorg-core,
# xserver-xorg-video-dummy and x11-xserver-utils. Start it before the first Wine process of a
# prefix session: a running wineserver keeps the monitors it saw first.
twohead_up() {
  local n=$1 layout=${2:-left} d
  d=$(dirname "${BASH_SOURCE[0]}")
  Xorg ":$n" -config "$d/twohead.conf" -logfile "/tmp/twohead-$n.log" -nolisten tcp -noreset -sharevts \
    -novtswitch >/dev/null 2>&1 &
  XORG_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    xrandr >/dev/null 2>&1 && break
    kill -0 "$XORG_PID" 2>/dev/null || return 1
    sleep 0.05
  done
  xrandr --addmode DUMMY1 1280x1024 || return 1
  case $layout in
    left) xrandr --output DUMMY1 --mode 1280x1024 --pos 0x0 --output DUMMY0 --primary --mode 1280x1024 --pos 1280x0 ;;
    above) xrandr --output DUMMY1 --mode 1280x1024 --pos 0x0 --output DUMMY0 --primary --mode 1280x1024 --pos 0x1024 ;;
  esac || return 1
  # A full probe: without it the server's cached output list still says DUMMY1 is disconnected,
  # and Wine, which reads that list, sees one monitor.
  xrandr >/dev/null
}
twohead_down() { kill "$XORG_PID" 2>/dev/null; wait "$XORG_PID" 2>/dev/null; }
