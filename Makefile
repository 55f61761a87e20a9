# The two commands a new user needs:
#   make run    installs what is missing, builds, starts the demo
#   make test   installs what is missing, builds, runs every test
BUILD ?= build
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=

.PHONY: run test build deps

deps:
	@scripts/install-deps.sh

build: deps
	cmake -G Ninja -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build $(BUILD)

run: build
	@scripts/run-demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j2
