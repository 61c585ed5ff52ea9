find_package(GTest REQUIRED)

# One GoogleTest executable per unit, run by CTest.
#   add_unit_test(name SOURCES a.cpp b.cpp LIBS lib... [LABELS l...] [TIMEOUT s])
function(add_unit_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock
                        Threads::Threads telvanta_warnings)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# A libFuzzer target, run by CTest for a few seconds from its seed corpus.
#   add_fuzz_target(name SOURCE f.cpp LIBS lib... [CORPUS dir])
function(add_fuzz_target name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCE})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} telvanta_warnings)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
  set(work "${CMAKE_BINARY_DIR}/fuzz/${name}-corpus")
  set(seeds "")
  if(ARG_CORPUS)
    set(seeds "${ARG_CORPUS}")
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${name}>' -max_total_time=4 -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 '${work}' ${seeds}")
  set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS fuzz)
endfunction()

# A test that needs a display: its own X server, GTK brought up once by the
# shared main, one display test at a time (playback is heavy for two cores).
# SESSION_BUS gives it a session bus of its own (dbus-run-session).
#   add_gui_test(name SOURCES a.cpp LIBS lib... [TIMEOUT s] [OWN_MAIN] [SESSION_BUS])
function(add_gui_test name)
  cmake_parse_arguments(ARG "OWN_MAIN;SESSION_BUS" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(NOT ARG_OWN_MAIN)
    list(APPEND sources "${CMAKE_SOURCE_DIR}/tests/support/GuiTestMain.cpp")
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock Threads::Threads
                        telvanta_warnings)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(bus "")
  if(ARG_SESSION_BUS)
    find_program(DBUS_RUN_SESSION dbus-run-session REQUIRED)
    set(bus ${DBUS_RUN_SESSION} --)
  endif()
  add_test(NAME ${name}
    COMMAND ${bus} ${XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS gui
    RESOURCE_LOCK telvanta_display)
endfunction()
