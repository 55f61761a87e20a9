# The two commands a new user needs:
#   make run    installs what is missing, builds, starts the demo
#   make test   installs what is missing, builds, runs every test
# and, to hand it to others:
#   make package  builds the Debian package build/kv17_VERSION_amd64.deb
#   make windows  cross-builds build-windows/kv17demo.exe with MinGW-w64 and
#                 packs it with its data in build-windows/kv17-VERSION-win64.zip
#   make web      builds the demo as a static web page in build-web/site
#   make web-test checks that page in headless Chromium against native frames
BUILD ?= build
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=
WINDOWS_BUILD ?= build-windows
WEB_BUILD ?= build-web
WEB_PACKAGES = cmake ninja-build emscripten fontconfig fonts-dejavu-core xz-utils \
    chromium chromium-driver python3-selenium python3-pil

.PHONY: run test build deps package windows web web-test mutation

deps:
	@scripts/install-deps.sh

build: deps
	cmake -G Ninja -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build $(BUILD)

run: build
	@scripts/run-demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

package: build
	cmake --build $(BUILD) --target package

windows:
	@scripts/install-windows-deps.sh
	cmake -G Ninja -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	    -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build $(WINDOWS_BUILD) --target kv17demo kv17-zip

# Debian's emcc runs its JavaScript tools with Debian's Node modules, whatever
# Node is first on the PATH.
web web-test: export NODE_PATH := /usr/share/nodejs

web:
	@scripts/install-deps.sh $(WEB_PACKAGES)
	emcmake cmake -G Ninja -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) \
	    -DKV17_NATIVE_BUILD=$(abspath $(BUILD))
	cmake --build $(WEB_BUILD)

# The native kv17-capture makes the frames the page's are compared with.
web-test: build web
	cd $(WEB_BUILD) && ctest --output-on-failure

# Plausible one-line bugs, each of which a unit suite must catch (slow: not
# part of make test). The last line says how many survived.
mutation: deps
	scripts/mutation-check
