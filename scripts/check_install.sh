#!/usr/bin/env bash
# Installs a build into a staging folder and checks it as a user's machine would see it: the
# installed command line on the installed sample, the menu entry, the metainfo, the MIME entry
# and the manual pages, and the installed desktop program started from a folder that is not the
# source tree, on its first start. Then builds the Debian package and lists it; as root (unless
# QUILLMARK_DEB_INSTALL=0) installs it with apt-get, runs it from /usr and removes it again.
#   scripts/check_install.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:?usage: check_install.sh BUILD_DIR}" && pwd)
scratch=$(mktemp -d /tmp/quillmark-install-check-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
stage=$scratch/stage
id=com.orvane.Quillmark

fail() { echo "check_install: $*" >&2; exit 1; }

# A user of our own: a home, settings and runtime folder nobody else uses, on Qt's offscreen
# platform, working in a folder with nothing of the source tree beside it.
as_user() {
    (cd "$scratch/home/work" && HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" \
        XDG_DATA_HOME="$scratch/home/.local/share" XDG_RUNTIME_DIR="$scratch/runtime" \
        QT_QPA_PLATFORM=offscreen "$@")
}
fresh_user() {
    rm -rf "$scratch/home" "$scratch/runtime"
    mkdir -p "$scratch/home/work" && mkdir -m 700 "$scratch/runtime"
}

# The installed programs find their samples, a first start copies the S&P 500 sample into the
# documents folder and opens the copy, and nothing is written in the installed folders.
check_programs() {
    local bin=$1 data=$2
    fresh_user
    [[ $(as_user "$bin/quillmark-cli" --version) =~ ^quillmark-cli\ [0-9] ]] || fail "cli --version"
    [[ $(as_user "$bin/quillmark" --version) =~ ^quillmark\ [0-9] ]] || fail "gui --version"
    as_user "$bin/quillmark-cli" samples > "$scratch/samples.json"
    python3 - "$scratch/samples.json" "$data" <<'PY'
import json, sys
found = json.load(open(sys.argv[1]))
assert found["installed"] and found["projects"] == sys.argv[2] + "/Project Files", found
assert found["sample"] in found["files"], found
assert found["data"] + "/sp500-2000.csv" in found["files"], found
PY
    [[ $(as_user "$bin/quillmark-cli" info "$data/Project Files/SP500.xml") == *'"SP500-2000"'* ]] ||
        fail "cli info on the installed sample"
    local before
    before=$(find "$data" -type f -printf '%p %s %T@\n' | sort | md5sum)
    as_user "$bin/quillmark" --screenshot shot.png || fail "gui --screenshot"
    [ "$(head -c 8 "$scratch/home/work/shot.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
        fail "the screenshot is not a PNG"
    cmp -s "$scratch/home/Documents/Quillmark/SP500.xml" "$data/Project Files/SP500.xml" ||
        fail "the first start did not copy the sample into the documents folder"
    [ "$before" = "$(find "$data" -type f -printf '%p %s %T@\n' | sort | md5sum)" ] ||
        fail "the installed data folder changed at run time"
}

echo "== staging install"
cmake --install "$build" --prefix "$stage" > /dev/null
for file in bin/quillmark bin/quillmark-cli "share/quillmark/Project Files/SP500.xml" \
    "share/quillmark/Data Files/sp500-2000.csv" share/applications/$id.desktop \
    share/metainfo/$id.metainfo.xml share/mime/packages/$id.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
    share/icons/hicolor/256x256/apps/$id.png share/man/man1/quillmark.1.gz \
    share/man/man1/quillmark-cli.1.gz; do
    [ -f "$stage/$file" ] || fail "not installed: $file"
done

echo "== desktop entry, metainfo, manual pages"
desktop-file-validate "$stage/share/applications/$id.desktop"
appstreamcli validate --no-net "$stage/share/metainfo/$id.metainfo.xml"
for page in quillmark quillmark-cli; do
    warnings=$(zcat "$stage/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    [[ $(MANWIDTH=80 man -l "$stage/share/man/man1/$page.1.gz" 2> /dev/null) == *$'\nNAME\n'* ]] ||
        fail "man cannot show $page.1"
done

echo "== MIME entry: project files by their first element, other XML left alone"
update-mime-database "$stage/share/mime" > /dev/null 2>&1
cp "$stage/share/quillmark/Project Files/SP500.xml" "$scratch/project.unknown-extension"
printf '<?xml version="1.0"?>\n<note>QUILLMARK</note>\n' > "$scratch/other.unknown-extension"
mime_of() {
    XDG_DATA_DIRS="$stage/share:/usr/share" XDG_DATA_HOME="$scratch/nothing" \
        gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'
}
[ "$(mime_of "$scratch/project.unknown-extension")" = application/x-quillmark-project ] ||
    fail "a project file is not recognised"
[ "$(mime_of "$scratch/other.unknown-extension")" = application/xml ] ||
    fail "another XML file is taken for a project"

echo "== installed programs, from a folder outside the source tree"
check_programs "$stage/bin" "$stage/share/quillmark"

echo "== Debian package"
rm -f "$build"/quillmark_*.deb
(cd "$build" && cpack -G DEB > "$scratch/cpack.log") || { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$build"/quillmark_*.deb)
dpkg-deb --info "$deb" | sed -n '/Architecture:/,$p'
contents=$(dpkg-deb --contents "$deb" | awk '{$1 = $2 = $3 = $4 = $5 = ""; print substr($0, 6)}')
echo "$contents"
[[ $(dpkg-deb --field "$deb" Depends) == *libqt6widgets6* ]] ||
    fail "the package has no computed dependencies"
[[ $contents == *"./usr/share/quillmark/Project Files/SP500.xml"* ]] ||
    fail "the package lacks the samples"

if [ "$(id -u)" = 0 ] && [ "${QUILLMARK_DEB_INSTALL:-1}" != 0 ]; then
    echo "== installing the package"
    if dpkg-query -W -f='${Status}' quillmark 2> /dev/null | grep -q "install ok installed"; then
        echo "check_install: quillmark is installed already; not replacing it"
    else
        apt=(env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300)
        "${apt[@]}" install "$deb" > "$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt-get install"; }
        status=0
        check_programs /usr/bin /usr/share/quillmark || status=$?
        "${apt[@]}" purge quillmark > /dev/null 2>&1 || true
        [ "$status" = 0 ] || exit "$status"
        [ ! -e /usr/share/quillmark ] || fail "the package left /usr/share/quillmark behind"
    fi
fi
echo "check_install: ok"
