# The two entry points a fresh Debian machine needs: `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build run test bench clean

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

run: build
	./$(BUILD)/src/gui/tavelin

test: build
	cd $(BUILD) && ctest --output-on-failure -j2 --timeout 300

bench: build
	./bench/run-all.sh $(BUILD)

clean:
	rm -rf $(BUILD)
