#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  unixodbc-dev odbc-mariadb unixodbc
  mariadb-server mariadb-client
  xvfb xauth
)
if [ "${WEXHOLT_NO_GUI:-0}" = 1 ]; then
  packages=("${packages[@]/qt6-base-dev}")
fi

missing=()
for p in "${packages[@]}"; do
  [ -n "$p" ] || continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -qq
  "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The MariaDB ODBC driver under the name the connection string uses.
if [ -f /usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so ] || ls /usr/lib/*/odbc/libmaodbc.so >/dev/null 2>&1; then
  driver=$(ls /usr/lib/*/odbc/libmaodbc.so | head -n 1)
  if ! odbcinst -q -d -n "MySql ODBC 5.1 Driver" >/dev/null 2>&1; then
    if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
    tmp=$(mktemp)
    printf '[MySql ODBC 5.1 Driver]\nDescription=MariaDB Connector/ODBC\nDriver=%s\n' "$driver" > "$tmp"
    "${SUDO[@]}" odbcinst -i -d -f "$tmp" >/dev/null
    rm -f "$tmp"
  fi
fi
