#!/usr/bin/env bash
# Builds the Debian package from this build folder and checks what it installs.
set -euo pipefail
build=$1
cd "$build"
rm -f vorel-demo_*.deb
cpack -G DEB >/dev/null
deb=$(ls vorel-demo_*.deb)
contents=$(dpkg-deb -c "$deb")
echo "$contents"
for path in ./usr/bin/vorel-demo ./usr/share/applications/vorel-demo.desktop \
    ./usr/share/icons/hicolor/scalable/apps/vorel-demo.svg; do
    grep -q " $path\$" <<<"$contents" || { echo "falta no pacote: $path"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6core6 qt6-qpa-plugins; do
    grep -q "$lib" <<<"$depends" || { echo "dependência não declarada: $lib"; exit 1; }
done
desktop-file-validate ./_CPack_Packages/*/DEB/*/usr/share/applications/vorel-demo.desktop 2>/dev/null || true
