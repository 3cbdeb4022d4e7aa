# The two commands a newcomer needs:
#   make demo   installs what is missing, builds, runs the main example
#   make test   installs what is missing, builds, runs every test suite
# Both are safe to repeat.

.PHONY: demo java-demo test deps configure build build-examples bench sanitize clean

# Both cores (or however many this machine has) for every build.
JOBS ?= $(shell nproc)

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default --parallel $(JOBS)

# The example programs and the wisp tool only: what the demo and the
# README's first commands run, without the test suites and benchmarks.
build-examples: configure
	@cmake --build --preset default --parallel $(JOBS) --target examples wisp

demo: build-examples
	@./build/bin/demo

# The demo's Java twin (java/examples/SwerveSimDemo.java): the jar, the
# libraries it loads and the example, then a run of it.
java-demo: configure
	@cmake --build --preset default --parallel $(JOBS) --target zephrin6_java_examples_jar
	@java -Djava.library.path=build/lib -cp build/lib/zephrin6-swerve.jar:build/lib/zephrin6-examples.jar \
		SwerveSimDemo build/demo/java

test: build
	@./scripts/check-generated.sh
	@./scripts/check-thread-safety.sh
	@ctest --preset default
	@./scripts/check-boundary.sh
	@./scripts/check-install.sh
	@./scripts/run-sanitizers.sh
	@./scripts/run-fuzz.sh 20

bench: build
	@for b in build/bin/bench_*; do "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done
	@if [ -d build/python/zephrin6 ]; then PYTHONPATH=build/python "$$(command -v /usr/bin/python3 || command -v python3)" bench/python/bench_python.py; fi

clean:
	rm -rf build build-asan build-tsan build-tsa build-fuzz
