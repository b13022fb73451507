# quenora_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>]
#                  [WRAPPER <command...>])   e.g. WRAPPER xvfb-run -a for a real X display
#
# One Qt Test executable registered with ctest. Every test runs headless
# (offscreen platform) and with its own QUENORA_HOME below the build tree, so
# a test that forgets to make its own temporary home still never touches the
# user's real settings, scripts or registry hive.
set(QUENORA_CORPUS_DIR "${PROJECT_SOURCE_DIR}/../shared/corpus" CACHE PATH
    "Folder of the real-world sample files the tests read in place")

# A test run has no desktop session bus. Left without an address, the first
# window's accessibility bridge would start one by forking from a process
# that already runs threads, and that child can hang on a lock held by a
# thread that did not survive the fork, leaving the window never shown. An
# address that fails at once stands for "no session bus".
set(QUENORA_TEST_SESSION_BUS "DBUS_SESSION_BUS_ADDRESS=unix:path=${PROJECT_BINARY_DIR}/no-session-bus")

function(quenora_add_test name)
  if(NOT QUENORA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;WRAPPER" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_compile_definitions(${name} PRIVATE
    QUENORA_CORPUS_DIR="${QUENORA_CORPUS_DIR}"
    QUENORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUENORA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${T_WRAPPER} $<TARGET_FILE:${name}>)
  set(home "${CMAKE_CURRENT_BINARY_DIR}/home-${name}")
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "${QUENORA_TEST_SESSION_BUS};QT_QPA_PLATFORM=offscreen;QUENORA_HOME=${home};ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  # xvfb-run -a picks its display by looking for a free one, and two started
  # at the same moment can pick the same; tests on a virtual display take
  # turns.
  if("xvfb-run" IN_LIST T_WRAPPER)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK x_display)
  endif()
endfunction()
