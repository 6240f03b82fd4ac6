# KORVAL: las órdenes de siempre.
#   make run       instala lo que falte, construye y arranca el programa
#   make test      instala lo que falte, construye con avisos como errores y pasa todas las pruebas
#   make sanitize  las mismas pruebas con AddressSanitizer y UBSan
#   make bench     las medidas de rendimiento
#   make format    da formato a todo el código con clang-format
#   make package   construye el paquete Debian korval_<versión>_<arquitectura>.deb

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: run test sanitize bench format deps build package

deps:
	@./tools/instalar-dependencias.sh

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAL_WERROR=ON -DKORVAL_TESTS=ON $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: build
	./build/korval/korval

test: build
	ctest --test-dir build --output-on-failure -j $(JOBS)

sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKORVAL_WERROR=ON -DKORVAL_TESTS=ON -DKORVAL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)
	ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKORVAL_TESTS=OFF -DKORVAL_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	cmake --build build-bench --target correr_medidas

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# El paquete se construye aparte, optimizado, sin pruebas y con las opciones de
# endurecimiento que Debian da a sus programas; el .deb queda en esta carpeta.
package: deps
	cmake -S . -B build-paquete -DCMAKE_BUILD_TYPE=Release -DKORVAL_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" $(CMAKE_FLAGS)
	cmake --build build-paquete -j $(JOBS)
	cmake --build build-paquete --target paquete_deb
