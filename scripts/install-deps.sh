#!/usr/bin/env bash
# Installs what the build and the tests need on Debian or Ubuntu: the mingw-w64 cross compilers
# for both widths, Wine for both widths, Xvfb, xwd for the demo's screenshots of the X screen, xz
# for the archive of the real host the tests run, and clang-format for the check of the house style.
# Does nothing when all of it is already there. --build-only: the cross compilers and CMake only.
set -euo pipefail

need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v i686-w64-mingw32-g++-posix   >/dev/null || need+=(g++-mingw-w64-i686-posix)
command -v x86_64-w64-mingw32-windres   >/dev/null || need+=(binutils-mingw-w64-x86-64)
command -v i686-w64-mingw32-windres     >/dev/null || need+=(binutils-mingw-w64-i686)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v clang-format >/dev/null || need+=(clang-format)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)

if [ "${1:-}" != "--build-only" ]; then
  command -v wine64 >/dev/null || [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
  [ -x /usr/lib/wine/wine ] || need+=(wine32:i386)
  command -v wine >/dev/null || need+=(wine)
  command -v Xvfb >/dev/null || need+=(xvfb)
  command -v xauth >/dev/null || need+=(xauth)
  command -v xwd >/dev/null || need+=(x11-apps)
  command -v xz >/dev/null || need+=(xz-utils)
fi

[ ${#need[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    sudo="sudo"
  else
    echo "Missing packages. Run as root:" >&2
    echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y ${need[*]}" >&2
    exit 1
  fi
fi

if printf '%s\n' "${need[@]}" | grep -q ':i386$'; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror that is being synced fails an index now and then: try again, and go on with the
# indexes that did arrive; the install below says so if a package is missing after all.
for attempt in 1 2 3; do
  $sudo apt-get update -qq && break
  echo "apt-get update failed (attempt $attempt of 3)" >&2
  sleep 10
done
install_packages() { $sudo apt-get install -y -qq --no-install-recommends "$@" "${need[@]}"; }
install_packages && exit 0

# When the security suite's index of one architecture did not arrive, the 32-bit libraries cannot
# match the 64-bit ones in version. Install once more from the other suites alone.
echo "Installing again without the security suite, whose indexes may be incomplete" >&2
sources=$(mktemp -d)
trap 'rm -rf "$sources"' EXIT
for file in /etc/apt/sources.list.d/*.sources; do
  [ -f "$file" ] && awk 'BEGIN { RS = ""; ORS = "\n\n" } !/-security/' "$file" >"$sources/$(basename "$file")"
done
grep -vs -- '-security' /etc/apt/sources.list >"$sources/sources.list" || true
install_packages -o Dir::Etc::sourcelist="$sources/sources.list" -o Dir::Etc::sourceparts="$sources"
