#!/usr/bin/env bash
# The installed program: installed under a prefix in a temporary folder, it runs from there with a
# fresh XDG data home. The taxpayer registry makes its databases and registers a cooperative; Kapred
# makes its program directory with the shipped system tables, serves that cooperative, imports a
# sample file as its instructions say, finds the agency's libraries of the installation, prints, and a
# second install keeps the registry, the declaration and the user's own import format.
# Argument: the build folder.
set -euo pipefail
build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

install_prefix() { DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >/dev/null; }
fail() {
    echo "FALLA: $*" >&2
    exit 1
}

install_prefix
data="$root/data"
mkdir -p "$root/home" "$root/destino"
user() {
    env -u KAPRED_HOME -u KAPRED_SYSDIR -u KAPRED_WINDIR -u KAPRED_HELPDIR -u KAPRED_CUIT HOME="$root/home" \
        XDG_DATA_HOME="$data" "$@" </dev/null
}
padron() { user "$root/dest/usr/bin/kapred-padron" "$@"; }
cli() { user KAPRED_CUIT=30-71234567-1 "$root/dest/usr/bin/kapred-cli" "$@"; }

home="$data/kapred/Kapred"
# The first start, before any cooperative is registered: the program directory is made, and the
# taxpayer cannot be served.
if cli status >/dev/null 2>"$root/status.txt"; then
    fail "Kapred sirvió a un contribuyente sin padrón"
fi
grep -q "Tablas del sistema copiadas de la instalación: $home/Si010000.mdb" "$root/status.txt" ||
    fail "el primer inicio no informó la copia"
padron add 30-71234567-1 --nombre "Cooperativa de Trabajo Horizonte Ltda." --actividad 011111 \
    --calle "Bv. Santa Fe" --numero 1250 --localidad Rafaela --provincia 82 --codigo-postal S2300ABC \
    2>"$root/padron.txt" || fail "el padrón no registró la cooperativa: $(cat "$root/padron.txt")"
[ "$(stat -c %a "$data/kapred/rexa.mdb" "$data/kapred/sistema.mdb")" = $'600\n600' ] ||
    fail "padrón legible por otros usuarios"
cli status 2>"$root/status.txt" >/dev/null || fail "status: $(cat "$root/status.txt")"
[ -f "$home/Si010000.mdb" ] || fail "sin tablas del sistema en $home"
[ "$(stat -c %a "$home/Si010000.mdb" "$home/Kapred.mdb")" = $'600\n600' ] || fail "bases legibles por otros usuarios"
user "$root/dest/usr/bin/kapred-cli" formats >/dev/null 2>&1 || fail "formats pidió un contribuyente"

[ "$(cli format-new --section 3 'Propio' --json 2>/dev/null | grep -c '"Formato": 6')" = 1 ] ||
    fail "no se creó el formato del usuario"
[ "$(cli new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 --economic-year 1 2>/dev/null)" = 20040 ] ||
    fail "new no dio el número de la declaración"
# The sample files' instructions, on the installed samples.
cli import 20040 --format 3 --file "$root/dest/usr/share/doc/kapred/ejemplos/anticipos.txt" >/dev/null 2>&1 ||
    fail "no se importó el archivo de ejemplo"
cli generate 20040 --dest "$root/destino" --keep-plain "$root/legible.txt" >/dev/null 2>&1 ||
    fail "la generación no halló las bibliotecas instaladas"
grep -q '^91BV. SANTA FE ' "$root/legible.txt" || fail "el archivo no lleva el domicilio fiscal del padrón"

# The print commands (built with Qt) run in the installed printing program, which finds the
# installation as kapred-cli does (a first start copies the system tables); without it they say
# what is missing.
printing="$root/dest/usr/libexec/kapred/kapred-cli-print"
if user "$root/dest/usr/bin/kapred-cli" print --help >/dev/null 2>&1; then
    cli print 20040 --pdf "$root/F369.pdf" >/dev/null 2>&1 || fail "print no halló el programa de impresión"
    [ "$(head -c 5 "$root/F369.pdf")" = "%PDF-" ] || fail "print no escribió un PDF"
    user XDG_DATA_HOME="$root/otro" "$root/dest/usr/bin/kapred-cli" format-print 3 --pdf "$root/formato.pdf" \
        >/dev/null 2>&1 || fail "el programa de impresión no halló las tablas del sistema instaladas"
    mv "$printing" "$root/aparte"
    if cli print 20040 --pdf "$root/F369.pdf" >/dev/null 2>"$root/print.txt"; then
        fail "print sin el programa de impresión"
    fi
    grep -q "No se puede iniciar el programa de impresión $printing: no existe" "$root/print.txt" ||
        fail "print sin el programa de impresión: $(cat "$root/print.txt")"
    mv "$root/aparte" "$printing"
fi

install_prefix
cli status >/dev/null 2>&1 || fail "status después de reinstalar"
padron list 2>/dev/null | grep -q "^30-71234567-1  Cooperativa de Trabajo Horizonte Ltda." ||
    fail "la reinstalación perdió el padrón"
cli formats --section 3 2>/dev/null | grep -q "Propio" || fail "la reinstalación perdió el formato del usuario"
[ "$(cli declarations --json 2>/dev/null | grep -c '"CodDJ": 20040')" = 1 ] || fail "la reinstalación perdió la declaración"
echo "instalación correcta"
