# The two commands a new user needs:
#   make run    installs what the demo needs, builds, starts the demo
#   make test   installs what the tests need, builds, runs every test
# and, to hand it to others or check more:
#   make package     builds and checks the Debian package build/kv17_VERSION_ARCH.deb
#   make windows     cross-builds build-windows/kv17demo.exe with MinGW-w64 and
#                    packs it with its data in build-windows/kv17-VERSION-win64.zip
#   make web         builds the demo as a static web page in build-web/site
#   make web-test    checks that page in headless Chromium against native frames
#   make benchmarks  builds the benchmarks (build/kv17-bench-*)
#   make mutation    checks that the unit suites catch plausible bugs (slow)
# Each target installs the package sets it names (scripts/install-deps.sh)
# where they are missing.
BUILD ?= build
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=
WINDOWS_BUILD ?= build-windows
WEB_BUILD ?= build-web

# Configures and builds BUILD, with the CMake options given and CMAKE_FLAGS.
build = cmake -G Ninja -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(1) $(CMAKE_FLAGS) && \
	cmake --build $(BUILD)

.PHONY: run test package windows web web-test benchmarks mutation

# Without a display the demo runs through kv17-capture, one of the tools.
run:
	@scripts/install-deps.sh demo $(if $(DISPLAY)$(WAYLAND_DISPLAY),,tools)
	$(call build)
	@scripts/run-demo.sh $(BUILD)

test:
	@scripts/install-deps.sh demo tools test
	$(call build,-DKV17_TOOLS=ON -DKV17_TESTS=ON)
	cd $(BUILD) && ctest --output-on-failure -j2

# Built, then checked as a user of it would see it: lintian, its
# dependencies, the installed programs run from /.
package:
	@scripts/install-deps.sh demo tools package
	$(call build,-DKV17_TOOLS=ON)
	cmake --build $(BUILD) --target package
	bash tests/install/package_test.sh $(BUILD) cpack

windows:
	@scripts/install-deps.sh windows
	cmake -G Ninja -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	    -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build $(WINDOWS_BUILD) --target kv17demo kv17-zip

# Debian's emcc runs its JavaScript tools with Debian's Node modules, whatever
# Node is first on the PATH.
web web-test: export NODE_PATH := /usr/share/nodejs

web:
	@scripts/install-deps.sh web
	emcmake cmake -G Ninja -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) \
	    -DKV17_NATIVE_BUILD=$(abspath $(BUILD))
	cmake --build $(WEB_BUILD)

# The native kv17-capture makes the frames the page's are compared with.
web-test:
	@scripts/install-deps.sh demo tools web web-test
	$(call build,-DKV17_TOOLS=ON)
	$(MAKE) web
	cd $(WEB_BUILD) && ctest --output-on-failure

benchmarks:
	@scripts/install-deps.sh demo bench
	$(call build,-DKV17_BENCHMARKS=ON)

# Plausible one-line bugs, each of which a unit suite must catch (slow: not
# part of make test). The last line says how many survived.
mutation:
	@scripts/install-deps.sh demo tools test mutation
	scripts/mutation-check
