#!/usr/bin/env bash
# Installs what is missing, builds, lays out the demo installation and runs the program on it.
# Without arguments it starts the desktop program as the host would, for the demo taxpayer, when
# a display is available; without one it shows a short demonstration on the command line. Any
# arguments go to kapred-cli instead (for example: ./run.sh --cuit 20-12345678-9 declarations).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
install_packages

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
home=build/demo/Kapred
demo_cuit=20-12345678-9
if [ "$#" -gt 0 ]; then
    exec "$home/kapred-cli" "$@"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$home/kapred" "$demo_cuit"
fi
echo "No hay una pantalla disponible: se muestra el programa sin ventanas."
"$home/kapred-cli" --cuit "$demo_cuit" status
"$home/kapred-cli" --cuit "$demo_cuit" declarations
cat <<TEXT

Para usar las ventanas, ejecute ./run.sh dentro de una sesión gráfica, o con un servidor X
virtual:  xvfb-run -a ./run.sh
Las capturas de todas las ventanas se generan con scripts/screenshots.sh.
TEXT
