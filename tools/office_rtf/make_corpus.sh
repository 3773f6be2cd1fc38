#!/bin/sh
# Builds the office RTF corpus of tests/platform/office_rtf with LibreOffice (run once by hand;
# needs libreoffice-writer-nogui and python3-uno, the tests do not):
#   sources (flat ODT, HTML) -> ODT, DOCX, DOC -> RTF, and LibreOffice's own reading of each RTF
#   as a dump of paragraphs and formatted runs.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../tests/platform/office_rtf}
work=$(mktemp -d)
profile="-env:UserInstallation=file://$work/profile"
/usr/bin/python3 "$here/make_sources.py" "$work/src"
cd "$work"
mkdir -p mid rtf
for f in src/*.fodt; do
    b=$(basename "$f" .fodt)
    for fmt in odt docx doc; do
        soffice $profile --headless --convert-to "$fmt" --outdir mid "$f" >/dev/null
        mkdir -p "mid/$fmt"
        mv "mid/$b.$fmt" "mid/$fmt/$b.$fmt"
        soffice $profile --headless --convert-to rtf --outdir rtf "mid/$fmt/$b.$fmt" >/dev/null
        mv "rtf/$b.rtf" "rtf/${fmt}_$b.rtf"
    done
done
for f in src/*.html; do
    b=$(basename "$f" .html)
    soffice $profile --headless --infilter="HTML (StarWriter)" --convert-to rtf --outdir rtf "$f" >/dev/null
done
cp src/own_comment.rtf src/richedit_gbk1252.rtf rtf/
soffice $profile --headless --convert-to rtf --outdir mid src/own_comment.rtf >/dev/null
cp mid/own_comment.rtf rtf/lo_own_comment.rtf
mkdir -p "$out"
for f in rtf/*.rtf; do
    cp "$f" "$out/"
done
/usr/bin/python3 "$here/dump_lo.py" "$work/profile" "$out"/*.rtf
rm -rf "$work"
