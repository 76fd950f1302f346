#!/usr/bin/env bash
# Prints every report layout with the demo declaration to PDF through kapred-cli, and each page
# to PNG, for people to look at: scripts/render_reports.sh [FOLDER] (default build/informes).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target demo -j2 >/dev/null
folder="${1:-build/informes}"
mkdir -p "$folder"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r build/demo/. "$work/"
rm -f "$work/Kapred/Kapred.mdb"
# Qt's GUI module wants a private runtime folder; a session without one gets a scratch one.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
cli() { "$work/Kapred/kapred-cli" --home "$work/Kapred" --cuit 20-12345678-9 --yes "$@" >/dev/null; }

# The demo declaration: the worked example of the liquidation, with deductions, advances and a
# year of weekly payments on account (a list longer than one page).
cli new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 --economic-year 1
cli set 20040 ActivoComputable cDineroEfectivoNac=600.000 cDepositosNac=1.234.567,50 cBienesCambio=85.320,75
cli set 20040 ActivoExento cCuotasSociales=200.000
cli set 20040 ActivoNoComputable cBienesExterior=200.000
cli set 20040 Pasivo iCooperativaSegurosCapitalizacion=0 iCooperativaAseguradoresVida=0 cDeudas=100.000 cProvisiones=12.500
cli set 20040 LiqDeduccionesAlCapital cRetornoExcedente=25.000
cli add-row 20040 Anticipos fFecha=15/01/2005 cImporte=3.000
cli add-row 20040 Anticipos fFecha=15/02/2005 cImporte=3.000
for week in $(seq 0 51); do
    cli add-row 20040 PagosCuenta "fFecha=$(date -u -d "2004-01-05 + $((week * 7)) days" +%d/%m/%Y)" cImporte=125,50
done

cli print 20040 --pdf "$work/f369.pdf"
for paper in ActivoExento ActivoComputable Pasivo Anticipos PagosCuenta; do
    cli workpaper 20040 "$paper" --pdf "$work/papel_$paper.pdf"
done
cli format-print 1 --pdf "$work/formato_1.pdf"
for pdf in "$work"/*.pdf; do
    name="$(basename "$pdf" .pdf)"
    cp "$pdf" "$folder/"
    pdftoppm -png -r 80 "$pdf" "$folder/$name"
    echo "$folder/$name.pdf: $(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}') página(s)"
done
