# Sourced by the sanitizer and fuzz steps: one AddressSanitizer +
# UndefinedBehaviorSanitizer build of the whole tree (modules, stand-in host,
# simulated SDK, unit tests, fuzz driver), and the options that make the
# first report end the process with a failure.
#
# GCC's runtime is used because every module, the host and the SDK link it as
# a shared library: the test programs dlopen modules built with
# --no-undefined, and all of them must share the one runtime the executable
# loads first. float-cast-overflow is not part of GCC's "undefined" group;
# it is the check that matters most for doubles turned into integers.
BRELK_SANITIZE="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:report_error_type=1:${UBSAN_OPTIONS:-}"

sanitizer_build=${BRELK_SAN_BUILD:-build-sanitizers}

# Configures and builds the sanitizer tree; extra arguments name targets.
build_sanitized() {
  cmake -S . -B "$sanitizer_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
    "-DCMAKE_C_FLAGS=$BRELK_SANITIZE" "-DCMAKE_CXX_FLAGS=$BRELK_SANITIZE" \
    "-DCMAKE_EXE_LINKER_FLAGS=$BRELK_SANITIZE" "-DCMAKE_SHARED_LINKER_FLAGS=$BRELK_SANITIZE" \
    "-DCMAKE_MODULE_LINKER_FLAGS=$BRELK_SANITIZE" >/dev/null
  if [ $# -gt 0 ]; then
    local targets=()
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build "$sanitizer_build" -j"$(jobs)" "${targets[@]}"
  else
    cmake --build "$sanitizer_build" -j"$(jobs)"
  fi
}
