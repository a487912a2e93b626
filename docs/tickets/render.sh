#!/usr/bin/env bash
# Renders the pictures of this folder with the staged program of a build:
#   docs/tickets/render.sh [BUILD_DIR]        (default: build)
# The ticket is drawn from a copy of the template database with a goods item for each
# language; the sample needs no database. Needs the sqlite3 command (Debian package
# sqlite3). Amounts follow the user's locale; the pictures use the C locale.
set -euo pipefail
export LC_ALL=C.UTF-8
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-build}"
program="$(cd "$build/program" && pwd)"
dmctl="$program/dmctl"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

db="$work/shop.sqlite"
cp "$program/System/Default.sqlite" "$db"
sqlite3 "$db" "INSERT INTO Products (PLU, RVTName, Type, Price, Barcode) VALUES
    (12, 'Bread roll', 'count', '12.50', ''),
    (13, 'Булочка', 'штучный', '12.50', '');"

# Each language shows a count item stored with its own type word.
for run in "ENG 12" "RUS 13"; do
    set -- $run
    lang="$1" plu="$2" l="$(echo "$1" | tr 'A-Z' 'a-z')"
    "$dmctl" --db "$db" --language "$lang" render-ticket --plu "$plu" --out "$here/ticket-$l.png"
    "$dmctl" --db "$db" --language "$lang" render-ticket --plu "$plu" --full \
        --out "$here/ticket-$l-full.png"
    "$dmctl" --language "$lang" render-ticket --sample --out "$here/sample-$l.png"
    "$dmctl" --language "$lang" render-ticket --sample --full --out "$here/sample-$l-full.png"
done
