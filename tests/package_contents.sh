#!/usr/bin/env bash
# Builds the Debian package from this build folder and checks what it installs; lintian,
# desktop-file-validate and man check it too where they are installed.
set -euo pipefail
build=$1
cd "$build"
rm -f vorel-demo_*.deb vorel-demo-dbgsym_*.ddeb
cpack -G DEB >/dev/null
deb=$(ls vorel-demo_*.deb)
contents=$(dpkg-deb -c "$deb")
echo "$contents"
fail() { echo "$*"; exit 1; }
for path in ./usr/bin/vorel-demo ./usr/share/applications/vorel-demo.desktop \
    ./usr/share/icons/hicolor/scalable/apps/vorel-demo.svg ./usr/share/man/man1/vorel-demo.1.gz \
    ./usr/share/doc/vorel-demo/copyright ./usr/share/doc/vorel-demo/changelog.gz; do
    grep -q " $path\$" <<<"$contents" || fail "falta no pacote: $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n; do
    grep -q "$lib" <<<"$depends" || fail "dependência não declarada: $lib"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
sections=$(readelf -S --wide "$root/usr/bin/vorel-demo")
! grep -qE '\.(debug_info|symtab) ' <<<"$sections" || fail "o executável do pacote não está sem símbolos"
version=$(dpkg-deb -f "$deb" Version)
head -n 1 < <(gzip -dc "$root/usr/share/doc/vorel-demo/changelog.gz") | grep -q "^vorel-demo ($version) " ||
    fail "changelog.gz não começa pela versão $version"

grep -qx 'Exec=vorel-demo --desktop --setup' "$root/usr/share/applications/vorel-demo.desktop" ||
    fail "a entrada do menu não tem a ação que abre a configuração da impressora"

if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$root/usr/share/man/man1/vorel-demo.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "página de manual com avisos: $warnings"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/vorel-demo.desktop" ||
        fail "desktop-file-validate recusou vorel-demo.desktop"
fi
if command -v lintian >/dev/null; then
    # Warnings are shown, errors fail; so does a lintian that could not check the package.
    status=0
    lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' || status=${PIPESTATUS[0]}
    [ "$status" -eq 0 ] || fail "lintian recusou o pacote (status $status)"
fi
