#!/bin/sh
# The folders of src/ include each other one way only:
#   app -> {document, templates, project, tools} -> ui -> {core, platform}
# A feature folder includes no other feature; core and platform include no
# folder above them. Prints every include that runs the wrong way.
src=${1:?usage: check_layers.sh SRC_DIR}
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
done
[ $bad -eq 0 ] && echo "includes run one way"
exit $bad
