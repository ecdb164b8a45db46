# make run:  set up, build, and run the main job.
# make test: set up, build both targets, and run every test.
# make fuzz: a long fuzzing run (scripts/fuzz.sh).
.PHONY: run test fuzz setup build clean

# The build presets and the set-up script keep their caches under the home folder.
export HOME := $(or $(HOME),$(shell getent passwd $$(id -u) | cut -d: -f6))

setup:
	bash scripts/setup.sh

build: setup
	cmake --preset native >/dev/null && cmake --build --preset native -j $$(nproc)
	cmake --preset win64 >/dev/null && cmake --build --preset win64 -j $$(nproc)

run: setup
	bash scripts/run-main.sh

test: setup
	bash scripts/run-tests.sh

fuzz: setup
	bash scripts/fuzz.sh

clean:
	rm -rf build
