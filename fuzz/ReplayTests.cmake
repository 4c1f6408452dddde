# The committed seeds of every fuzz target, replayed by CTest in the normal
# build: each fuzz_NAME.cpp is compiled with ReplayMain.cpp into replay_NAME,
# which runs every file of fuzz/corpus/NAME through it once. Included by
# tests/CMakeLists.txt.
#
# A target may use the fuzzing engine's header-only FuzzedDataProvider, which
# comes with clang's runtime development package (scripts/deps.sh installs
# it). The header alone is copied into the build tree: clang's include folder
# itself would put clang's own standard headers before the normal compiler's.
file(GLOB _fdp_hints /usr/lib/llvm-*/lib/clang/*/include /usr/lib/clang/*/include)
find_path(T6_FUZZER_INCLUDE fuzzer/FuzzedDataProvider.h HINTS ${_fdp_hints})
set(_fdp_dir ${CMAKE_CURRENT_BINARY_DIR}/fuzzer-headers)
if(T6_FUZZER_INCLUDE)
  configure_file(${T6_FUZZER_INCLUDE}/fuzzer/FuzzedDataProvider.h
                 ${_fdp_dir}/fuzzer/FuzzedDataProvider.h COPYONLY)
endif()

file(GLOB _fuzz_targets CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_*.cpp)
foreach(src ${_fuzz_targets})
  get_filename_component(_target ${src} NAME_WE)
  string(REGEX REPLACE "^fuzz_" "" _name ${_target})
  file(READ ${src} _text)
  string(FIND "${_text}" "fuzzer/FuzzedDataProvider.h" _uses_provider)
  if(NOT _uses_provider EQUAL -1 AND NOT T6_FUZZER_INCLUDE)
    message(WARNING "replay_${_name} not built: fuzzer/FuzzedDataProvider.h not found")
    continue()
  endif()
  add_executable(replay_${_name} ${src} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  if(NOT _uses_provider EQUAL -1)
    target_include_directories(replay_${_name} SYSTEM PRIVATE ${_fdp_dir})
  endif()
  target_link_libraries(replay_${_name} PRIVATE t6_files t6_config t6_link t6_i18n t6_common)
  # Layers that exist are linked too, so that a new layer's parser can be fuzzed.
  foreach(_layer t6_keys t6_wireless t6_device)
    if(TARGET ${_layer})
      target_link_libraries(replay_${_name} PRIVATE ${_layer})
    endif()
  endforeach()
  add_test(NAME replay_${_name}
           COMMAND replay_${_name} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${_name})
  set_tests_properties(replay_${_name} PROPERTIES TIMEOUT 120)
endforeach()
