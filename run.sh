#!/usr/bin/env bash
# Installs what is missing, builds what it runs (quietly: the build's output goes to
# build/run.log), lays out the demo taxpayers' data outside the build and runs the program on it.
# Without arguments it opens the taxpayer registry, from which Kapred opens for a taxpayer, as the
# desktop menu does, when a display is available; without one it shows a short demonstration on
# the command line. Any arguments go to kapred-cli instead (for example:
# ./run.sh --cuit 20-12345678-9 declarations).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
install_packages

desktop=""
if [ "$#" -eq 0 ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    desktop=yes
fi
target=demo-cli
[ -n "$desktop" ] && target=demo-desktop

log=build/run.log
mkdir -p build
echo "Compilando (la primera vez tarda unos minutos; detalle en $log)..." >&2
if ! { cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build build --target "$target" -j2; } \
    >"$log" 2>&1; then
    tail -n 20 "$log" >&2
    echo "La compilación falló; el detalle completo está en $log" >&2
    exit 1
fi

# The demo's data lives outside the build, like a user's: a rebuild never touches it. The host's
# databases are put there once; the program copies its system tables at its first start.
installation=build/demo/Kapred
demo="${XDG_DATA_HOME:-$HOME/.local/share}/kapred-demo"
mkdir -p "$demo/Kapred"
for database in rexa.mdb sistema.mdb; do
    [ -e "$demo/$database" ] || cp build/demo/$database "$demo/$database"
done
export KAPRED_HOME="$demo/Kapred"
demo_cuit=20-12345678-9

if [ "$#" -gt 0 ]; then
    exec "$installation/kapred-cli" "$@"
fi
if [ -n "$desktop" ]; then
    exec "$installation/kapred-padron"
fi
echo "No hay una pantalla disponible: se muestra el programa sin ventanas. Datos de la demostración: $demo" >&2
"$installation/kapred-padron" list
"$installation/kapred-cli" --cuit "$demo_cuit" status
"$installation/kapred-cli" --cuit "$demo_cuit" declarations
cat >&2 <<TEXT

Para usar las ventanas, ejecute ./run.sh dentro de una sesión gráfica, o con un servidor X
virtual:  xvfb-run -a ./run.sh
Las capturas de todas las ventanas se generan con scripts/screenshots.sh.
TEXT
