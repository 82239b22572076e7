#!/bin/sh
# Installs Kalvanta as a user would and runs the installed programs.
#   staging: `cmake --install` with DESTDIR and a prefix of its own
#   package: the Debian package, built with cpack, installed into a scratch
#            root with dpkg (the machine's own database is not touched),
#            then purged
# Usage: check_install.sh staging|package BUILD_DIR SOURCE_DIR SCRATCH VERSION GUI(ON|OFF)
set -eu
mode=$1 build=$2 source=$3 scratch=$4 version=$5 gui=$6

fail() { echo "FAIL: $*"; exit 1; }

# What an installation holds, relative to its prefix, sorted.
expected_files() {
  {
    echo bin/kalvanta-report
    echo share/doc/kalvanta/LICENSE
    echo share/doc/kalvanta/README.md
    echo share/kalvanta/examples/worked-example-one-year.json
    echo share/kalvanta/examples/worked-example.json
    echo share/man/man1/kalvanta-report.1
    case $gui in ON|on|1|TRUE|true|YES|yes)
      echo bin/kalvanta
      echo share/applications/kalvanta.desktop
      for size in 16 32 48 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/kalvanta.png"; done
      echo share/icons/hicolor/scalable/apps/kalvanta.svg
      echo share/kalvanta/help.rtf
      echo share/man/man1/kalvanta.1
      echo share/metainfo/org.example.kalvanta.metainfo.xml
      echo share/mime/packages/kalvanta.xml ;;
    esac
  } | LC_ALL=C sort
}

compare_lists() { # what, expected file, actual file
  if ! diff -u "$2" "$3"; then
    fail "$1 differs from the expected layout (- expected, + found)"
  fi
}

# The installed command-line tool, run from its installed place.
run_installed_tool() { # tool, examples folder
  got=$("$1" --version) || fail "$1 --version failed"
  [ "$got" = "kalvanta-report $version" ] || fail "--version printed \"$got\""
  "$1" --help >"$scratch/help.txt" || fail "$1 --help failed"
  head -n 1 "$scratch/help.txt" | grep -q "^Usage: kalvanta-report " || fail "--help printed no usage"
  "$1" --date 2026-12-08 "$2/worked-example.json" >"$scratch/report.txt" || fail "the worked example failed"
  cmp "$source/tests/analysis/expected/worked_two_year.txt" "$scratch/report.txt" ||
    fail "the installed tool's report of the worked example differs"
  echo "ok   $1: --version, --help and the worked example"
}

rm -rf "$scratch"
mkdir -p "$scratch"
expected_files >"$scratch/expected.txt"

case $mode in
staging)
  prefix=/opt/kalvanta-staging
  DESTDIR="$scratch/root" cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" ||
    { cat "$scratch/install.log"; fail "cmake --install"; }
  root=$scratch/root$prefix
  (cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$scratch/found.txt"
  compare_lists "the staged installation" "$scratch/expected.txt" "$scratch/found.txt"
  echo "ok   layout under DESTDIR$prefix"
  run_installed_tool "$root/bin/kalvanta-report" "$root/share/kalvanta/examples"
  ;;
package)
  cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
  arch=$(dpkg --print-architecture)
  deb=$scratch/out/kalvanta_${version}_$arch.deb
  [ -f "$deb" ] || { ls "$scratch/out"; fail "no $deb"; }
  [ "$(dpkg-deb -f "$deb" Package)" = kalvanta ] || fail "package name"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "     Depends: $depends"
  # From dpkg-shlibdeps: the C++ run-time always, Qt with the desktop program.
  for lib in libc6 libstdc++6; do
    echo "$depends" | grep -q "$lib (>=" || fail "Depends lacks $lib"
  done
  case $gui in ON|on|1|TRUE|true|YES|yes)
    for lib in libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins; do
      echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib"
    done ;;
  esac
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | LC_ALL=C sort >"$scratch/found.txt"
  compare_lists "the package's files" "$scratch/expected.txt" "$scratch/found.txt"
  echo "ok   $deb: files and dependencies"

  # A scratch root with an empty package database. Dependencies are the
  # machine's, not the scratch root's; every file is unpacked even where the
  # machine's dpkg configuration leaves out documents.
  root=$scratch/root
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  : >"$root/var/lib/dpkg/status"
  dpkg_root() {
    dpkg --root="$root" --log=/dev/null --force-depends --force-not-root --force-bad-path \
      --path-include='*' "$@"
  }
  dpkg_root --install "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; fail "dpkg --install"; }
  (cd "$root/usr" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$scratch/installed.txt"
  compare_lists "the installed package" "$scratch/expected.txt" "$scratch/installed.txt"
  run_installed_tool "$root/usr/bin/kalvanta-report" "$root/usr/share/kalvanta/examples"
  # The installed metainfo, desktop entry and icons, checked as one.
  if [ -f "$root/usr/share/metainfo/org.example.kalvanta.metainfo.xml" ] && command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net --explain "$root" || fail "appstreamcli validate-tree"
  fi
  if [ -x "$root/usr/bin/kalvanta" ] && ldd "$root/usr/bin/kalvanta" | grep "not found"; then
    fail "the installed kalvanta lacks libraries"
  fi

  dpkg_root --purge kalvanta >>"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; fail "dpkg --purge"; }
  left=$(cd "$root" && find . -mindepth 1 ! -path ./var ! -path ./var/lib ! -path './var/lib/dpkg*')
  [ -z "$left" ] || fail "left behind after purge: $left"
  if dpkg-query --admindir="$root/var/lib/dpkg" -W kalvanta >/dev/null 2>&1; then
    fail "the package database still knows kalvanta"
  fi
  echo "ok   installed into $root, run, purged without leftovers"
  ;;
*)
  fail "unknown mode $mode" ;;
esac
