#!/bin/sh
# The folders of src/ include each other one way only:
#   app -> {document, templates, project, tools} -> ui -> {core, platform}
# A feature folder includes no other feature; core and platform include no
# folder above them. Prints every include that runs the wrong way.
# Given the build's list of links (tests/CMakeLists.txt writes it, one
# "orvane_LAYER: what it links" a line), checks that every folder is a
# library of its own that links only layers it may include.
src=${1:?usage: check_layers.sh SRC_DIR [LINKS_FILE]}
links=${2:-}
allowed() {
    case $1 in
        core) echo "core" ;;
        platform) echo "core platform" ;;
        ui) echo "core platform ui" ;;
        app) echo "core platform ui document templates project tools app" ;;
        *) echo "core platform ui $1" ;;
    esac
}
bad=0
for dir in "$src"/*/; do
    folder=$(basename "$dir")
    ok=$(allowed "$folder")
    for used in $(grep -ho '#include "[a-z]*/' -r "$dir" | sed 's/#include "//; s|/||' | sort -u); do
        case " $ok " in
            *" $used "*) ;;
            *) grep -rn "#include \"$used/" "$dir" | sed "s|^|$folder may not include $used: |"; bad=1 ;;
        esac
    done
    [ -n "$links" ] || continue
    line=$(grep "^orvane_$folder:" "$links")
    if [ -z "$line" ]; then
        echo "$folder is not a library of its own (no orvane_$folder)"; bad=1; continue
    fi
    for used in $(echo "${line#*:}" | tr ' ;' '\n\n' | sed -n 's/^orvane_//p'); do
        case " $ok " in
            *" $used "*) ;;
            *) echo "orvane_$folder may not link orvane_$used"; bad=1 ;;
        esac
    done
done
[ $bad -eq 0 ] && echo "includes run one way${links:+, and so do the links}"
exit $bad
