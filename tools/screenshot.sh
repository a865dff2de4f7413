#!/bin/sh
# Renders, without a display, the main window with the sample unit into docs/main-window.png (in
# English into docs/main-window-en.png) and
# one status view (VIEW, default network; see LINKSMITH_SCREENSHOT_VIEW in linksmith(1)) over the
# simulated unit in the state of examples/scenario-faults.txt into docs/status-view.png, and the
# network window with the example network examples/network-line1 into docs/network-window.png.
# The user manual's pictures, docs/manual/LANG/images/, are the main window and the data link
# status view in each language of the manual.
# Usage: tools/screenshot.sh [VIEW]   (LINKSMITH_PROGRAM: the linksmith to run, default
# build/default/app/qt/linksmith)
set -e
cd "$(dirname "$0")/.."
view="${1:-network}"
program="${LINKSMITH_PROGRAM:-build/default/app/qt/linksmith}"
# plant-line1.lsm and the scenario both address unit 2.
XDG_CONFIG_HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen LINKSMITH_SCREENSHOT=docs/main-window.png \
  "$program" --simulate examples/plant-line1.lsm
XDG_CONFIG_HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen LINKSMITH_SCREENSHOT=docs/main-window-en.png \
  "$program" --lang en --simulate examples/plant-line1.lsm
XDG_CONFIG_HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen LINKSMITH_SCREENSHOT=docs/status-view.png \
  LINKSMITH_SCREENSHOT_VIEW="$view" \
  "$program" --scenario examples/scenario-faults.txt examples/plant-line1.lsm
XDG_CONFIG_HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen LINKSMITH_SCREENSHOT=docs/network-window.png \
  "$program" --network examples/network-line1/line1.toml
for lang in ja en; do
  images="docs/manual/$lang/images"
  mkdir -p "$images"
  XDG_CONFIG_HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen LANGUAGE="$lang" LANG=C.UTF-8 \
    LINKSMITH_SCREENSHOT="$images/main-window.png" "$program" --simulate examples/plant-line1.lsm
  XDG_CONFIG_HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen LANGUAGE="$lang" LANG=C.UTF-8 \
    LINKSMITH_SCREENSHOT="$images/status-view.png" LINKSMITH_SCREENSHOT_VIEW=datalink \
    "$program" --scenario examples/scenario-faults.txt examples/plant-line1.lsm
done
