#!/usr/bin/env bash
# Installs, with apt, every Debian 12 package that building, running, testing and
# benchmarking the project needs. Idempotent: when everything is present it only checks.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libcurl4-openssl-dev libssl-dev libicu-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  libqt6webenginecore6-bin libgl-dev
  xvfb xauth xdotool fonts-noto-cjk
  python3 python3-fonttools python3-pil
  clang-format clang-tidy
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}" >&2
  echo "install-deps: run as root (or install them yourself) and try again" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
