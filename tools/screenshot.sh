#!/bin/sh
# Renders the main window with the sample unit into docs/main-window.png, without a display.
set -e
cd "$(dirname "$0")/.."
XDG_CONFIG_HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen LINKSMITH_SCREENSHOT=docs/main-window.png \
  build/default/app/qt/linksmith --simulate examples/plant-line1.lsm
