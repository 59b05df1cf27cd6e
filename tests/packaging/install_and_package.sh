#!/usr/bin/env bash
# The installed program and its Debian package, made from a finished build tree: the files that
# `cmake --install` puts in a prefix (and no others), the validators of the menu entry and of the
# AppStream metainfo (silent), the installed programs' command lines, then the package made by
# CPack from the same tree: the same files, stripped programs, the dependencies, an extracted
# funzioni-eval that works, and lintian without errors or warnings.
# Usage: install_and_package.sh BUILD_DIR APPLICATION_ID VERSION. Exits 77 (skipped) when a tool
# is missing (scripts/debian-packages lists them all).
set -u
build=$1
id=$2
version=$3

for tool in desktop-file-validate appstreamcli appstream-util dpkg-deb dpkg-shlibdeps file lintian; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (scripts/debian-packages lists it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

expected_files() {
  printf '%s\n' bin/funzioni bin/funzioni-eval \
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    "share/icons/hicolor/scalable/apps/$id.svg" \
    share/man/man1/funzioni.1.gz share/man/man1/funzioni-eval.1.gz \
    share/doc/funzioni/copyright share/doc/funzioni/changelog.gz
  for size in 16 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x${size}/apps/$id.png"
  done
}
expected_files | sort >"$work/expected"

# The installed tree.
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  fail "cmake --install failed"
}
(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
diff -u "$work/expected" "$work/installed" || fail "the installed files are not the expected ones"
for size in 16 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "$size x $size" ||
    fail "the ${size} pixel icon is not ${size} x ${size}"
done

out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1)
[ $? -eq 0 ] && [ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" 2>&1)
status=$?
# It always prints a closing verdict; any tag it reports is a line of its own.
[ $status -eq 0 ] && ! grep -qE '^[IWEP]: ' <<<"$out" || fail "appstreamcli: $out"
out=$(appstream-util validate --nonet "$prefix/share/metainfo/$id.metainfo.xml" 2>&1)
[ $? -eq 0 ] && [ "$out" = "$prefix/share/metainfo/$id.metainfo.xml: OK" ] ||
  fail "appstream-util: $out"

# The installed programs' command lines, without a display.
check_output() {  # EXPECTED_STATUS EXPECTED_STDOUT_START EXPECTED_STDERR_START COMMAND...
  local status=$1 stdout=$2 stderr=$3
  shift 3
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$status" ] || fail "$* ended with $got, not $status"
  [[ "$(cat "$work/out")" == "$stdout"* ]] || fail "$* printed: $(cat "$work/out")"
  [[ "$(cat "$work/err")" == "$stderr"* ]] || fail "$* said: $(cat "$work/err")"
}
for program in funzioni funzioni-eval; do
  check_output 0 "$program $version" "" "$prefix/bin/$program" --version
  check_output 0 "Usage: $program " "" "$prefix/bin/$program" --help
  check_output 2 "" "$program: unknown option --bogus
Usage: $program " "$prefix/bin/$program" --bogus
done

# The package, made by CPack from the same tree (only the build type differs from
# scripts/package's release build; the install rules and CPack settings are the same).
cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  fail "cpack failed"
}
deb=$work/package/funzioni_${version}_amd64.deb
if [ ! -f "$deb" ]; then
  fail "no $deb"
  exit 1
fi
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort >"$work/packaged"
diff -u "$work/expected" "$work/packaged" || fail "the package's files are not the installed ones"
dpkg-deb -x "$deb" "$work/root"
for program in funzioni funzioni-eval; do
  file "$work/root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
result=$("$work/root/usr/bin/funzioni-eval" --x 2 'x^2+1')
[ "$result" = " 5" ] || fail "the packaged funzioni-eval computed '$result' for x^2+1 at 2"
fields=$(dpkg-deb --field "$deb" Depends Recommends)
for wanted in fonts-liberation libqt6widgets6 'Recommends: qt6-wayland'; do
  grep -q "$wanted" <<<"$fields" || fail "the package's relations lack $wanted: $fields"
done
lintian "$deb" >"$work/lintian" 2>&1
if grep -qE '^[EW]: ' "$work/lintian"; then
  cat "$work/lintian"
  fail "lintian reports errors or warnings"
fi

[ "$failures" -eq 0 ] || exit 1
echo "installed files, validators, command lines and package: passed"
