#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build pkg-config g++ clang-format clang-14 libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev valgrind
  libfreetype-dev libicu-dev libqpdf-dev libxml2-dev libcairo2-dev libpng-dev libreadline-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine32:i386 zip
  fonts-dejavu-core fonts-liberation fonts-urw-base35 fonts-noto-core fonts-ipafont-gothic
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# A mirror that is synchronising can serve an index whose size does not match
# for a minute or two: try again rather than fail the run.
apt_update() {
  local try
  for try in 1 2 3; do
    if $SUDO apt-get update -qq; then return 0; fi
    echo "setup: apt-get update failed (try $try of 3)" >&2
    sleep $((try * 20))
  done
  return 1
}

# The shipped module and the Windows programs beside it are 32-bit: Wine runs
# them with its 32-bit part, which comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

updated=0
if [ "${#missing[@]}" -gt 0 ]; then
  apt_update
  updated=1
  # The i386 libraries must be the very versions of their amd64 twins: apt
  # upgrades the installed amd64 ones where the archive has moved on.
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Some kernels run no 32-bit code (no IA-32 emulation). There qemu's user-mode
# emulator runs 32-bit Wine; Debian 12's own qemu (7.2) hangs while Wine
# reserves its address space, so it comes from the backports suite.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo "setup: this kernel runs 32-bit code; 32-bit Wine runs natively"
else
  if ! qemu-i386 --version 2>/dev/null | grep -qE 'version ([89]|[1-9][0-9])\.'; then
    source_file=/etc/apt/sources.list.d/lumaro-backports.sources
    if ! apt-cache policy 2>/dev/null | grep -q 'bookworm-backports'; then
      # The backports suite from the same archive the machine already uses.
      uri=$(grep -hE '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '{print $2}' | grep -E '/debian/?$' | head -n 1 || true)
      if [ -z "$uri" ]; then
        uri=$(grep -hE '^deb .*/debian/? bookworm' /etc/apt/sources.list 2>/dev/null |
          awk '{print $2}' | head -n 1 || true)
      fi
      if [ -z "$uri" ]; then
        echo "setup: no Debian archive configured; cannot add bookworm-backports for qemu-user" >&2
        exit 1
      fi
      printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$uri" | $SUDO tee "$source_file" >/dev/null
      updated=0
    fi
    [ "$updated" = 1 ] || apt_update
    $SUDO apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user
  fi
  echo "setup: this kernel runs no 32-bit code; 32-bit Wine runs under $(qemu-i386 --version | head -n 1)"
fi
