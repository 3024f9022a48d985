#!/bin/sh
# Installs the build into a temporary prefix and checks that the program,
# its desktop entry (validated), MIME definitions, icon and templates are
# where a desktop looks for them, and that the program finds its libraries.
set -eu
build=${1:?usage: check_install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/orvane share/applications/orvane.desktop share/mime/packages/orvane.xml \
         share/icons/hicolor/scalable/apps/orvane.svg "share/orvane/templates/Web page.tet"; do
    [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
if ldd "$prefix/bin/orvane" | grep 'not found'; then
    echo "the installed program misses a library"; exit 1
fi
desktop-file-validate "$prefix/share/applications/orvane.desktop"
grep -q '^Exec=orvane %F$' "$prefix/share/applications/orvane.desktop"
echo "installed and valid"
