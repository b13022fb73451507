#!/usr/bin/env bash
# The one list of Debian packages that building, running and testing Quenora
# need. run.sh and test.sh both call this; apt-get runs only when something
# on the list is missing, so a machine that has everything starts at once.
set -euo pipefail

PACKAGES=(
  # tool chain
  cmake
  ninja-build
  g++
  pkg-config
  # Qt 6 (widgets, test) and what its CMake files require
  qt6-base-dev
  qt6-base-dev-tools
  # Qt's platform header, through which the tests switch accessibility on
  qt6-base-private-dev
  libgl-dev
  # the registry hive
  libsqlite3-dev
  # speech: synthesis, WAV files, sound output
  libespeak-ng-dev
  espeak-ng-data
  libsndfile1-dev
  qt6-multimedia-dev
  # resampling (libswresample); the audiobook's containers, encoders, chapter
  # marks and tags (FFmpeg), its loudness measurement (EBU R 128)
  libswresample-dev
  libavformat-dev
  libavcodec-dev
  libavutil-dev
  libebur128-dev
  # the pronunciation dictionaries: one scan for all entries, bounded
  # regular expressions
  libhyperscan-dev
  libpcre2-dev
  # the German names of the voices' languages
  libicu-dev
  # end-to-end tests of the real program on a virtual X display
  xvfb
  xauth
  xdotool
  # the document layout's tests compare rendered text
  fonts-dejavu-core
  # Qt's own texts (dialogs, context menus) in German
  qt6-translations-l10n
  # script downloads
  libcurl4-openssl-dev
  # the foreground window's title (X11)
  libxcb1-dev
  # reading PDF, EPUB, ODT and DOCX documents
  libpoppler-qt6-dev
  libzip-dev
  libyaml-cpp-dev
  # the head (title, author) of HTML pages
  libxml2-dev
  # the screen-reader end-to-end test: a private session bus, the AT-SPI
  # bus and registry, and the Python binding a screen reader uses
  dbus
  at-spi2-core
  python3-pyatspi
  # a window manager for the end-to-end tests, screenshots of them
  openbox
  imagemagick
  # tests and benchmarks that compare against other tools or make test files
  poppler-utils
  ffmpeg
  sox
  libsox-fmt-mp3
  zip
  python3
  # checks of the install tree and the Debian package
  appstream
  desktop-file-utils
  lintian
  help2man
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
