#!/usr/bin/env bash
# The manual pages the build made (in the folder given): each renders without a warning, as man
# and groff read it, man-db finds its name, and it has the sections a reader looks for, in Spanish.
set -euo pipefail
folder="$1"
fail() { echo "$*" >&2; exit 1; }
pages=("$folder"/*.1)
[ "${#pages[@]}" -ge 2 ] || fail "no manual pages in $folder"
for page in "${pages[@]}"; do
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$page: $warnings"
    warnings="$(groff -ww -k -man -Tutf8 -z "$page" 2>&1)"
    [ -z "$warnings" ] || fail "$page: $warnings"
    lexgrog "$page" >/dev/null || fail "$page: man-db finds no name in it"
    for heading in NOMBRE SINOPSIS DESCRIPCIÓN ÓRDENES OPCIONES ENTORNO ARCHIVOS '"ESTADO DE SALIDA"' EJEMPLOS \
        '"VÉASE TAMBIÉN"'; do
        grep -qx ".SH $heading" "$page" || fail "$page lacks the section $heading"
    done
done
# The command-line programs' pages tell each command with its options.
for command in '.SS generate' '.SS inspect' '\fB\-\-keep\-plain\fR \fIARCHIVO\fR'; do
    grep -qF -- "$command" "$folder/kapred-cli.1" || fail "kapred-cli.1 lacks $command"
done
grep -qF '.SS add' "$folder/kapred-padron.1" || fail "kapred-padron.1 lacks the command add"
