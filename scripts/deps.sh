#!/usr/bin/env bash
# Installs the Debian packages Vorlane builds, tests and benchmarks with, when missing.
# With --deb also what builds and checks the Debian package (make deb).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libgtkmm-4.0-dev libwebkitgtk-6.0-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool adwaita-icon-theme fonts-wqy-zenhei
  desktop-file-utils appstream man-db
  libxtst-dev
  python3 xdg-utils
  locales
)
if [ "${1:-}" = "--deb" ]; then
  packages+=(debhelper dpkg-dev fakeroot lintian)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# Widget, engine and end-to-end tests run in the Chinese locale our users have, so GTK's
# and WebKit's own strings are translated as on their desktops.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  echo "Generating the zh_CN.UTF-8 locale"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  # localedef exits 1 when it only warned: whether the locale is there afterwards decides.
  $sudo_cmd localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 || true
  locale -a | grep -qix 'zh_CN\.utf-\?8' || { echo "deps: zh_CN.UTF-8 could not be made" >&2; exit 1; }
fi
