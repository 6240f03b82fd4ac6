#!/usr/bin/env bash
# El paquete .deb como lo recibe quien lo instala: se construye, se desempaqueta
# sin instalarlo, se revisan su contenido y sus metadatos con las herramientas
# de Debian y de los escritorios, y el programa desempaquetado se arranca desde
# el enlace de bin/ hasta su menú, con un HOME propio.
#   comprobar_paquete.sh CARPETA_CONSTRUCCION ID NOMBRE_DEB
set -euo pipefail

construccion=$1
id=$2
deb=$3

tmp=$(mktemp -d)
korval_pid=
limpiar() {
  [[ -n $korval_pid ]] && kill "$korval_pid" 2>/dev/null || true
  [[ -n ${XVFB_PID:-} ]] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$tmp"
}
trap limpiar EXIT

fallo() {
  echo "FALLO: $*" >&2
  exit 1
}

for orden in cpack dpkg-deb desktop-file-validate appstreamcli lintian file readelf Xvfb xdotool; do
  command -v "$orden" >/dev/null || fallo "falta $orden (tools/instalar-dependencias.sh lo instala)"
done

# La copia portátil de la construcción no lleva la marca de copia instalada.
[[ ! -e $construccion/korval/korval.instalado ]] || fallo "build/korval/ lleva la marca de copia instalada"

echo "== Construir el paquete"
cpack -G DEB --config "$construccion/CPackConfig.cmake" -B "$tmp/cpack" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fallo "cpack"; }
paquete=$tmp/cpack/$deb
[[ -f $paquete ]] || fallo "no se generó $deb"

echo "== Campos de control"
campo() { dpkg-deb -f "$paquete" "$1"; }
[[ $(campo Package) == korval && "${deb}" == "korval_$(campo Version)_$(campo Architecture).deb" ]] ||
  fallo "nombre, versión o arquitectura: $(campo Package) $(campo Version) $(campo Architecture)"
depende=$(campo Depends)
nombra() { [[ ",$1," =~ [\ ,]$2[\ ,\(] ]]; }
# libqt6gui6 trae los módulos de plataforma que se cargan (xcb, offscreen).
for p in libqt6gui6 libqt6widgets6 libqt6printsupport6 qt6-translations-l10n fonts-liberation2; do
  nombra "$depende" "$p" || fallo "Depends no nombra $p: $depende"
done
# Nada de la construcción ni lo que el programa nunca carga.
[[ ! $depende =~ (-dev|cmake|g\+\+|clang|qt6-qpa-plugins) ]] || fallo "Depends pide lo que no se usa: $depende"
nombra "$(campo Recommends)" xdg-utils || fallo "Recommends no nombra xdg-utils (abrir los PDF)"

echo "== Lista de ficheros"
raiz=$tmp/raiz
dpkg-deb -x "$paquete" "$raiz"
esperados=(
  usr/bin/korval
  usr/lib/korval/BINARIO.DAT usr/lib/korval/KORVAL.HLP usr/lib/korval/hexagr.kvl
  usr/lib/korval/korval usr/lib/korval/korval.instalado usr/lib/korval/trigr.kvl
  "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$id.svg"
  usr/share/doc/korval/changelog.gz usr/share/doc/korval/copyright
  usr/share/lintian/overrides/korval usr/share/man/man1/korval.1.gz
)
for lado in 16 22 24 32 48 64 128 256 512; do
  esperados+=("usr/share/icons/hicolor/${lado}x${lado}/apps/$id.png")
done
diff <(printf '%s\n' "${esperados[@]}" | sort) <(cd "$raiz" && find . ! -type d | sed 's|^\./||' | sort) ||
  fallo "el paquete no lleva exactamente los ficheros esperados"
[[ $(readlink "$raiz/usr/bin/korval") == ../lib/korval/korval ]] || fallo "usr/bin/korval no es el enlace relativo"
[[ -x $raiz/usr/lib/korval/korval ]] || fallo "el programa no es ejecutable"
secciones=$(readelf -S --wide "$raiz/usr/lib/korval/korval")
[[ $secciones == *" .dynamic "* && $secciones != *" .comment "* ]] || fallo "el programa lleva la sección .comment"
for lado in 16 22 24 32 48 64 128 256 512; do
  file -b "$raiz/usr/share/icons/hicolor/${lado}x${lado}/apps/$id.png" | grep -q "^PNG image data, $lado x $lado," ||
    fallo "el icono de $lado píxeles no es un PNG de ese tamaño"
done

echo "== Entrada del menú, metadatos y lintian"
desktop-file-validate "$raiz/usr/share/applications/$id.desktop" || fallo "desktop-file-validate"
grep -qx "Icon=$id" "$raiz/usr/share/applications/$id.desktop" || fallo "la entrada del menú no usa el icono"
# validate-tree valida los metadatos y comprueba además que su entrada del menú exista.
appstreamcli validate-tree --no-net "$raiz" || fallo "appstreamcli"
# Los avisos que se aceptan a sabiendas van en el fichero de excepciones del paquete.
informe=$(lintian --fail-on error,warning "$paquete" 2>&1) || { echo "$informe"; fallo "lintian da errores o avisos"; }

echo "== Arrancar el programa desempaquetado desde bin/"
coproc XVFB { exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null; }
read -r -t 30 -u "${XVFB[0]}" pantalla || fallo "Xvfb no arrancó"
export DISPLAY=:$pantalla
programa=$raiz/usr/lib/korval
antes=$(cd "$programa" && find . | sort)
mkdir "$tmp/home"
mkdir -m 700 "$tmp/run"
# Con el idioma de un escritorio de verdad: sin él, Xlib no sabría escribir la Ú
# de «MENÚ» en el título que lee xdotool.
env -i HOME="$tmp/home" LANG=C.UTF-8 XDG_RUNTIME_DIR="$tmp/run" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin "$raiz/usr/bin/korval" \
  >"$tmp/korval.log" 2>&1 &
korval_pid=$!

# La primera ventana es el aviso de pantalla.
aviso=$(timeout 60 xdotool search --sync --onlyvisible --name '^KORVAL$' | head -n1) ||
  { cat "$tmp/korval.log"; fallo "no apareció la primera ventana"; }
# Sin gestor de ventanas el teclado va a la ventana bajo el puntero. El aviso
# no atiende hasta estar entero a la vista: se pulsa su botón con el foco
# (Aceptar) mientras siga a la vista.
xdotool mousemove --window "$aviso" 5 5
for _ in $(seq 300); do
  xdotool search --onlyvisible --name '^KORVAL$' | grep -qx "$aviso" || break
  xdotool key space
  sleep 0.1
done
# El menú sólo sale si se leyeron las listas de nombres de la carpeta del
# programa, a la que se llegó por el enlace.
timeout 60 xdotool search --sync --onlyvisible --name '^MENÚ PRINCIPAL$' >/dev/null ||
  { cat "$tmp/korval.log"; fallo "no apareció el menú principal"; }
kill -0 "$korval_pid" || fallo "el programa terminó"

# Una copia instalada no escribe en su carpeta: lo suyo va al HOME.
[[ $(cd "$programa" && find . | sort) == "$antes" ]] || fallo "el programa escribió en usr/lib/korval"
[[ -f $tmp/run/korval.lock ]] || fallo "la copia única no tiene su candado en la carpeta de ejecución del usuario"
echo "paquete correcto: $deb"
