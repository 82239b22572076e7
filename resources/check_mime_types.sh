#!/bin/sh
# The shared MIME types build into a database and name the files they are for.
# Usage: check_mime_types.sh MIME_XML SCRATCH_DIR
set -eu
xml=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch/mime/packages" "$scratch/files"
cp "$xml" "$scratch/mime/packages/kalvanta.xml"
out=$(XDG_DATA_DIRS="$scratch:/usr/share" update-mime-database "$scratch/mime" 2>&1)
if [ -n "$out" ]; then
  echo "$out"
  exit 1
fi

f=$scratch/files
printf '{\n  "YearCount": 2\n}\n' >"$f/company.kalvanta.json"
printf '{\n  "EnterpriseName": "x",\n  "YearCount": 1\n}\n' >"$f/no-extension"
printf '{\n  "name": "x"\n}\n' >"$f/other.json"
printf '<?xml version="1.0" encoding="windows-1251"?>\n<Файл ИдФайл="NO_BUHOTCH_0000_0000_7700000000770001001_20260301_0"/>\n' \
  >"$f/NO_BUHOTCH_0000_0000_7700000000770001001_20260301_0.xml"
cp "$f/NO_BUHOTCH_0000_0000_7700000000770001001_20260301_0.xml" "$f/renamed-statement"

status=0
expect() { # file, content type
  got=$(XDG_DATA_DIRS="$scratch:/usr/share" XDG_DATA_HOME="$scratch/none" \
        gio info -a standard::content-type "$f/$1" | sed -n 's/^ *standard::content-type: //p')
  if [ "$got" = "$2" ]; then
    echo "ok   $1: $got"
  else
    echo "FAIL $1: $got, expected $2"
    status=1
  fi
}
expect company.kalvanta.json application/x-kalvanta-input+json
expect no-extension application/x-kalvanta-input+json
expect other.json application/json
# Named *.xml, GLib takes the suffix glob and never sniffs (Qt weighs the
# longer glob): only the content is checked here.
expect renamed-statement application/x-fns-buhotch+xml
exit $status
