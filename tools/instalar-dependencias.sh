#!/usr/bin/env bash
# Instala con apt sólo lo que falta para construir, probar y ejecutar KORVAL.
# Se puede llamar tantas veces como se quiera: si no falta nada, no hace nada.
set -euo pipefail

paquetes=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  libgl-dev
  fonts-liberation2 fonts-dejavu-core fonts-urw-base35
  poppler-utils clang-format
  # El paquete .deb y sus comprobaciones (make package, make test).
  dpkg-dev file desktop-file-utils appstream lintian xvfb xdotool
)

if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
  echo "KORVAL: este equipo no tiene apt. Instale a mano CMake, un compilador de C++20 y Qt 6.4 o" >&2
  echo "posterior (Widgets, PrintSupport, Test) con sus traducciones, y vuelva a intentarlo." >&2
  exit 1
fi

faltan=()
for p in "${paquetes[@]}"; do
  estado=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$estado" == "install ok installed" ]] || faltan+=("$p")
done

if ((${#faltan[@]} == 0)); then
  exit 0
fi

echo "KORVAL: instalando lo que falta: ${faltan[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
  else
    echo "KORVAL: hacen falta permisos de administrador para instalar: ${faltan[*]}" >&2
    exit 1
  fi
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${faltan[@]}"
