#!/usr/bin/env bash
# The installed program: installed under a prefix in a temporary folder, it runs from there with a
# fresh XDG data home, makes its program directory with the shipped system tables, finds the
# agency's libraries of the installation, and a second install keeps the user's own import format.
# Arguments: the build folder and the build's demo folder (for the host databases).
set -euo pipefail
build="$1"
demo="$2"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

install_prefix() { DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >/dev/null; }
fail() {
    echo "FALLA: $*" >&2
    exit 1
}

install_prefix
data="$root/data"
mkdir -p "$data/kapred" "$root/home" "$root/destino"
cp "$demo/rexa.mdb" "$demo/sistema.mdb" "$data/kapred/"
cli() {
    env -u KAPRED_HOME -u KAPRED_SYSDIR -u KAPRED_WINDIR -u KAPRED_HELPDIR HOME="$root/home" \
        XDG_DATA_HOME="$data" "$root/dest/usr/bin/kapred-cli" --cuit 20-12345678-9 "$@" </dev/null
}

home="$data/kapred/Kapred"
cli status 2>"$root/status.txt" >/dev/null || fail "status: $(cat "$root/status.txt")"
[ -f "$home/Si010000.mdb" ] || fail "sin tablas del sistema en $home"
[ "$(stat -c %a "$home/Si010000.mdb" "$home/Kapred.mdb")" = $'600\n600' ] || fail "bases legibles por otros usuarios"
grep -q "Tablas del sistema copiadas de la instalación: $home/Si010000.mdb" "$root/status.txt" ||
    fail "el primer inicio no informó la copia"

[ "$(cli format-new --section 3 'Propio' --json 2>/dev/null | grep -c '"Formato": 6')" = 1 ] ||
    fail "no se creó el formato del usuario"
[ "$(cli new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 --economic-year 1 2>/dev/null)" = 20040 ] ||
    fail "new no dio el número de la declaración"
cli generate 20040 --dest "$root/destino" >/dev/null 2>&1 || fail "la generación no halló las bibliotecas instaladas"

install_prefix
cli status >/dev/null 2>&1 || fail "status después de reinstalar"
cli formats --section 3 2>/dev/null | grep -q "Propio" || fail "la reinstalación perdió el formato del usuario"
[ "$(cli declarations --json 2>/dev/null | grep -c '"CodDJ": 20040')" = 1 ] || fail "la reinstalación perdió la declaración"
echo "instalación correcta"
