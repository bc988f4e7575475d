#!/usr/bin/env bash
# Installs the build into a temporary prefix (cmake --install --prefix) and
# checks the installation as its users meet it: the standard layout, the
# program run from there by a user with an empty home folder (its report in
# the user's runtime folder, never in the read-only installation; the user's
# own rain database found first), the library's tools, and another program
# built against the installed library with find_package(Veer12) and pkg-config.
#
#   installed.sh BUILD_DIR SOURCE_DIR LIBDIR QT_PLUGIN_DIR CXX [CXXFLAGS]
set -euo pipefail
build=$1 source=$2 libdir=$3 plugins=$4 cxx=$5 cxxflags=${6:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/infil-installed.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }

# ---- layout ----
for f in bin/infil bin/veer12-register bin/veer12-dump bin/veer12-render \
         "$libdir/libVeer12.so.1" "$libdir/libVeer12.so" \
         "$libdir/cmake/Veer12/Veer12Config.cmake" "$libdir/pkgconfig/veer12.pc" \
         include/Veer12/Veer12.h include/Veer12/VeerWidget.h \
         "$plugins/designer/libveer12designer.so" \
         share/infil/Webs/Desc01.htm share/infil/Webs/Desc_soubory/logo.gif \
         share/applications/cz.infil.Infil.desktop share/metainfo/cz.infil.Infil.metainfo.xml \
         share/icons/hicolor/scalable/apps/cz.infil.Infil.svg \
         share/icons/hicolor/48x48/apps/cz.infil.Infil.png \
         share/man/man1/infil.1.gz share/doc/infil/rain-data.md etc/veer12/classes.reg; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
# Only programs in bin/.
for f in "$prefix"/bin/*; do
  [ -f "$f" ] && [ -x "$f" ] || fail "not a program in bin/: $f"
done
# The machine-wide registration names the installed library by its own path.
library=$(readlink -f "$prefix/$libdir/libVeer12.so.1")
grep -qF "\"$library\"" "$prefix/etc/veer12/classes.reg" ||
  fail "the registration does not name $library: $(cat "$prefix/etc/veer12/classes.reg")"

# Every user reads it.
[ "$(stat -c %a "$prefix/etc/veer12" "$prefix/etc/veer12/classes.reg" | tr '\n' ' ')" = "755 644 " ] ||
  fail "the registration is not readable by all: $(stat -c '%a %n' "$prefix/etc/veer12" "$prefix/etc/veer12/classes.reg")"

# ---- the program, run by a user with nothing of their own yet ----
chmod -R a-w "$prefix" # as once installed (root would still write: checked below)
home=$work/home run=$work/run
mkdir -p "$home" "$run"
chmod 700 "$run"
user_env=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$run" LANG=C.UTF-8)

"${user_env[@]}" "$prefix/bin/infil" --version | grep -qx "infil [0-9.]*" || fail "--version"
help=$("${user_env[@]}" "$prefix/bin/infil" --help)
for option in --help --version --script --app-dir --now INFIL_RAIN_DB; do
  grep -qe "$option" <<<"$help" || fail "--help does not mention $option"
done

"${user_env[@]}" "$prefix/bin/infil" --script "$source/tests/scenarios/report-trench.json" \
  > "$work/report.json" 2> "$work/report.err" || { cat "$work/report.err"; fail "batch mode"; }
report=$(sed -n 's/^  "report": "\(.*\)"$/\1/p' "$work/report.json")
case "$report" in
  "$run"/infil-*/Infil_*) ;;
  *) fail "the report is not in the user's runtime folder: '$report'" ;;
esac
[ -z "$(ls -A "$run")" ] || fail "the run left files behind: $(ls -A "$run")"
[ -z "$(find "$prefix" -newer "$work/install.log" -not -type d)" ] || fail "the run wrote into the installation"
[ -z "$(find "$home" -mindepth 1)" ] || fail "the run wrote into the home folder: $(find "$home" -mindepth 1)"

# Without a database anywhere, the message names every place searched.
"${user_env[@]}" "$prefix/bin/infil" --script "$source/tests/scenarios/rain-dialog-typed.json" > "$work/typed.json"
grep -qF "$home/.local/share/infil/infil.mdb\\r\\n  $prefix/share/infil/infil.mdb\\r\\n  $prefix/bin/infil.mdb" \
  "$work/typed.json" || fail "the missing-database message does not list the places: $(grep nalezena "$work/typed.json")"

# The user's own database is found in the user's data folder.
fixture=$source/../shared/fixtures/rain-fixture.mdb
if [ -f "$fixture" ]; then
  mkdir -p "$home/.local/share/infil"
  cp "$fixture" "$home/.local/share/infil/infil.mdb"
  "${user_env[@]}" "$prefix/bin/infil" --script "$source/tests/scenarios/rain-dialog-brno.json" > "$work/brno.json"
  grep -qF "\"DatabasePath\": \"$home/.local/share/infil/infil.mdb\"" "$work/brno.json" || fail "DatabasePath"
  ! grep -q "nebyla nalezena\|nelze přečíst" "$work/brno.json" || fail "the user's database was not read"
fi

# ---- the library's tools and another program using the library ----
out=$("$prefix/bin/veer12-dump" 2>&1 || true)
! grep -q "error while loading shared libraries" <<<"$out" || fail "veer12-dump does not find libVeer12: $out"
! ldd "$prefix/$plugins/designer/libveer12designer.so" | grep -q "libVeer12.*not found" ||
  fail "the Designer plugin does not find libVeer12"

cp -r "$source/tests/install/consumer" "$work/consumer"
cmake -S "$work/consumer" -B "$work/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
      -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$cxxflags" > "$work/consumer.log" 2>&1 &&
  cmake --build "$work/consumer/build" >> "$work/consumer.log" 2>&1 || { cat "$work/consumer.log"; fail "find_package(Veer12)"; }
[ "$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$run" "$work/consumer/build/consumer")" = consumer ] || fail "the consumer program"
flags=$(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config --cflags --libs veer12) || fail "pkg-config veer12"
header=no library=no
for flag in $flags; do
  case "$flag" in
    -I*) [ -f "${flag#-I}/Veer12/VeerWidget.h" ] && header=yes ;;
    -L*) [ -e "${flag#-L}/libVeer12.so" ] && library=yes ;;
  esac
done
[ $header = yes ] && [ $library = yes ] || fail "pkg-config veer12 gives $flags"
echo "installed into $prefix: all checks passed"
