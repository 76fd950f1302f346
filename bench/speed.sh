#!/usr/bin/env bash
# The cost of the command line on a large declaration, each figure set against a baseline taken
# in the same run on the same machine:
#   1. `declarations` on a database holding ROWS advances against the same on one without rows;
#   2. `declarations` on the demo installation against sqlite3 counting DDJJ in a plain copy;
#   3. the import of ROWS advances against sqlite3 loading the same rows in one transaction;
#   4. the generation of the declaration against sqlite3 writing the same records to a file;
#   5. the export of the advances against sqlite3 writing the same lines to a file;
#   and the peak memory of the export and of the generation of ROWS rows against the same
#   commands on a declaration without rows.
# Each time is the fastest of its runs: five for the start-up, three for the generation, the
# export and their baselines (one run of each varies by a third on this machine), one for the
# import (it fills the database the others read).
# Usage: bench/speed.sh [BUILD_DIR] (ROWS=990000 by default: a declaration file holds at most
# 999,999 records, so a generation of a million rows would be refused).
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
ROWS=${ROWS:-990000}
CLI=$BUILD/src/cli/kapred-cli
DEMO=${DEMO:-$BUILD/demo}
CUIT=20-12345678-9
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kapred-speed.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# A fresh installation under $1, as the demo ships it.
install() {
    mkdir -p "$1/Kapred"
    find "$DEMO/Kapred" -maxdepth 1 -name '*.mdb' ! -name Kapred.mdb -exec cp {} "$1/Kapred/" \;
    cp -r "$DEMO/Kapred/sistema" "$1/Kapred/sistema"
    cp "$DEMO/rexa.mdb" "$DEMO/sistema.mdb" "$1/"
}
cli() {
    local root=$1
    shift
    "$CLI" --home "$root/Kapred" --cuit "$CUIT" "$@"
}
# Seconds of the fastest of $1 runs of the rest of the line.
best() {
    local runs=$1 fastest=
    shift
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        fastest=$(echo "$start $end ${fastest:-1e9}" | awk '{ t = $2 - $1; print (t < $3 ? t : $3) }')
    done
    echo "$fastest"
}
# Peak resident memory in MB of one run of a program (not a shell function).
peak() {
    /usr/bin/time -f %M -o "$WORK/peak" "$@" >/dev/null 2>&1 || true
    tail -n 1 "$WORK/peak" | awk '{ printf "%.1f", $1 / 1024 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# A plain copy of a database the program keeps scrambled at rest.
plainCopy() {
    python3 - "$1" "$2" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
for at in range(0, min(len(data), 391), 10):
    data[at] ^= 0xA5
open(sys.argv[2], 'wb').write(data)
EOF
}
newDeclaration() {
    cli "$1" new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 --economic-year 1 >/dev/null
}

echo "Kapred speed, $ROWS rows ($(nproc) cores)"

# The advances file: dates within the year after the period, distinct amounts.
awk -v rows="$ROWS" 'BEGIN { for (i = 1; i <= rows; ++i)
    printf "%02d/%02d/2005%012d,25\r\n", i % 28 + 1, i % 5 + 1, i }' >"$WORK/anticipos.txt"

install "$WORK/empty"
newDeclaration "$WORK/empty"
install "$WORK/large"
newDeclaration "$WORK/large"
import=$(best 1 cli "$WORK/large" import 20040 --format 3 --file "$WORK/anticipos.txt")
plainCopy "$WORK/large/Kapred/Kapred.mdb" "$WORK/large.mdb"
stored=$(sqlite3 "$WORK/large.mdb" 'select count(*) from Anticipos')
[ "$stored" -eq "$ROWS" ] || { echo "the import stored $stored rows of $ROWS" >&2; exit 1; }

# SQLite alone: its own loader puts the same rows into the same table of a plain copy of a
# database without rows, in one transaction.
plainCopy "$WORK/empty/Kapred/Kapred.mdb" "$WORK/insert.mdb"
awk -v rows="$ROWS" 'BEGIN { for (i = 1; i <= rows; ++i)
    printf "20123456789,20040,%d,2005-%02d-%02d,%d\n", i, i % 5 + 1, i % 28 + 1, i * 10000 + 2500 }' >"$WORK/anticipos.csv"
sqliteInsert=$(best 1 sqlite3 "$WORK/insert.mdb" ".import --csv '$WORK/anticipos.csv' Anticipos")
[ "$(sqlite3 "$WORK/insert.mdb" 'select count(*) from Anticipos')" -eq "$ROWS" ] || {
    echo "sqlite3 did not load the rows" >&2
    exit 1
}

declarationsLarge=$(best 5 cli "$WORK/large" declarations)
declarationsEmpty=$(best 5 cli "$WORK/empty" declarations)
plainCopy "$WORK/empty/Kapred/Kapred.mdb" "$WORK/plain.mdb"
sqliteCount=$(best 5 sqlite3 "$WORK/plain.mdb" 'select count(*) from DDJJ')

mkdir -p "$WORK/destino"
generate=$(best 3 cli "$WORK/large" generate 20040 --dest "$WORK/destino" --yes)
generatePeak=$(peak "$CLI" --home "$WORK/large/Kapred" --cuit "$CUIT" generate 20040 --dest "$WORK/destino" --yes)
mkdir -p "$WORK/destino-vacio"
generateEmptyPeak=$(peak "$CLI" --home "$WORK/empty/Kapred" --cuit "$CUIT" generate 20040 --dest "$WORK/destino-vacio" --yes)
sqliteRecords=$(best 3 sh -c "sqlite3 '$WORK/large.mdb' \"select '06' || replace(fFecha, '-', '') ||
    printf('%015d', cImporte / 100) from Anticipos where CUIT = 20123456789 and CodDJ = 20040 order by ID\" \
    >'$WORK/records.txt'")

export=$(best 3 cli "$WORK/large" export 20040 --format 3 --file "$WORK/exportado.txt" --yes)
exportPeak=$(peak "$CLI" --home "$WORK/large/Kapred" --cuit "$CUIT" export 20040 --format 3 --file "$WORK/exportado2.txt" --yes)
exportEmptyPeak=$(peak "$CLI" --home "$WORK/empty/Kapred" --cuit "$CUIT" export 20040 --format 3 --file "$WORK/vacio.txt" --yes)
sqliteLines=$(best 3 sh -c "sqlite3 '$WORK/large.mdb' \"select strftime('%d/%m/%Y', fFecha) ||
    printf('%012d,%02d', cImporte / 10000, cImporte / 100 % 100) from Anticipos
    where CUIT = 20123456789 and CodDJ = 20040\" >'$WORK/lines.txt'")

printf '%-58s %8s %8s %7s %6s\n' "" "Kapred" "base" "ratio" "goal"
printf '%-58s %8.3f %8.3f %7s %6s\n' \
    "1. declarations, $ROWS rows / no rows (s)" "$declarationsLarge" "$declarationsEmpty" \
    "$(ratio "$declarationsLarge" "$declarationsEmpty")" "1.5" \
    "2. declarations / sqlite3 count(*) (s)" "$declarationsEmpty" "$sqliteCount" \
    "$(ratio "$declarationsEmpty" "$sqliteCount")" "3" \
    "3. import / sqlite3 .import in one transaction (s)" "$import" "$sqliteInsert" \
    "$(ratio "$import" "$sqliteInsert")" "2" \
    "4. generate / sqlite3 writing the records (s)" "$generate" "$sqliteRecords" \
    "$(ratio "$generate" "$sqliteRecords")" "2" \
    "5. export / sqlite3 writing the lines (s)" "$export" "$sqliteLines" "$(ratio "$export" "$sqliteLines")" "-"
printf '%-58s %8s %8s %7s %6s\n' \
    "export peak memory, $ROWS rows / no rows (MB)" "$exportPeak" "$exportEmptyPeak" "" "20" \
    "generate peak memory, $ROWS rows / no rows (MB)" "$generatePeak" "$generateEmptyPeak" "" "-"
echo "import: $(awk -v r="$ROWS" -v t="$import" 'BEGIN { printf "%.0f", r / t }') rows/s"
