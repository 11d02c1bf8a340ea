#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, once; quiet when all are there.
# Also makes the locales that the tests run under: Shift-JIS for the code page, US
# English for the messages.
set -euo pipefail
# One package a line, grouped by the concern that needs it.
packages=(
  g++ cmake make pkg-config python3 locales
  gettext
  libgtest-dev libbenchmark-dev
  libreadline-dev
  python3-pyte
  libsdl2-dev xvfb xauth xclip
  xdotool openbox xterm x11-utils
  imagemagick
  libchafa-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-ipafont-mincho
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libcairo2-dev libcups2-dev poppler-utils
  cups-daemon cups-core-drivers
  man-db
  dpkg-dev lintian
  xeus-dev cppzmq-dev nlohmann-json3-dev python3-jupyter-client jupyter-nbconvert
  time
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
# localedef warns that Shift-JIS is not ASCII-compatible and exits 1 although the
# locale is made; the check afterwards is what counts.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.sjis$'; then
  $sudo localedef -f SHIFT_JIS -i ja_JP ja_JP.SJIS >/dev/null 2>&1 || true
  locale -a 2>/dev/null | grep -qi '^ja_JP\.sjis$' || echo "note: no ja_JP.SJIS locale; its tests are skipped"
fi
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf8$'; then
  $sudo localedef -f UTF-8 -i en_US en_US.UTF-8 >/dev/null 2>&1 || true
  locale -a 2>/dev/null | grep -qi '^en_US\.utf8$' || echo "note: no en_US.UTF-8 locale; its tests are skipped"
fi
