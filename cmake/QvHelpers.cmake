# Small helpers shared by every folder.

# qv_test(<name> SOURCES ... LIBS ... [LOCK <resource>])
# One GoogleTest executable; its cases are discovered at test time (through
# Wine in the Windows build, whose wrapper sets the Wine environment). Tests
# that start the one-instance program or write its registry key take the
# lock qv_program, so they never overlap. So does every program whose tests
# show windows: with no window manager, a window that one program shows
# takes the activation, the keyboard focus and the capture from another's
# (an edit beside it loses its text's place, a menu its loop).
function(qv_test name)
  cmake_parse_arguments(T "" "LOCK" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  set(props LABELS ${name})
  if(T_LOCK)
    list(APPEND props RESOURCE_LOCK ${T_LOCK})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${props})
  add_dependencies(qv_all_tests ${name})
endfunction()

if(NOT TARGET qv_all_tests)
  add_custom_target(qv_all_tests)
endif()

# qv_library(<name> <glob...>): a static library of the matching sources, or an
# interface library while a folder has none yet (so every layer exists as a
# target from the start).
function(qv_library name)
  file(GLOB srcs CONFIGURE_DEPENDS ${ARGN})
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
  endif()
endfunction()

# qv_link(<name> <libs...>): link publicly whatever kind qv_library made.
function(qv_link name)
  get_target_property(kind ${name} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${name} INTERFACE ${ARGN})
  else()
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()

# qv_fuzzer(<name> SOURCES ... LIBS ...): a libFuzzer target fuzz_<name> (host
# clang build) and, in both builds, replay_<name>: a plain main that runs every
# file of fuzz/corpus/<name> through the same entry point as a ctest (under
# Wine too), so stored crashers stay fixed.
function(qv_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  add_executable(replay_${name} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(replay_${name} PRIVATE ${F_LIBS})
  target_include_directories(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(WIN32)
    target_link_options(replay_${name} PRIVATE -mconsole)
  endif()
  add_test(NAME replay_${name} COMMAND replay_${name} ${corpus})
  add_dependencies(qv_all_tests replay_${name})
  if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(fuzz_${name} ${F_SOURCES})
    target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS})
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY QV_FUZZERS ${name})
  endif()
endfunction()
