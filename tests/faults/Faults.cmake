# The fault scenarios over a real pseudo-terminal. Most of them wait out a
# reply time-out of 10 s and sleep meanwhile, so they carry the label "faults"
# and are meant to run many at a time: ctest -L faults -j 12 (scripts/faults.sh).
file(GLOB _faults CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_executable(test_faults ${_faults})
target_link_libraries(test_faults PRIVATE t6_testsupport t6_core)
target_compile_definitions(test_faults PRIVATE
  T6_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  T6_DEVICESIM="$<TARGET_FILE:torvel6-devicesim>")
add_dependencies(test_faults torvel6-devicesim)
# The port search probes the system's own ports too: two searches at once
# would find each other's port busy, so those scenarios take turns.
# Scenarios the program does not meet yet ("OPEN_" in their names) carry the
# label "faults-open" instead: scripts/faults.sh --open runs them.
gtest_discover_tests(test_faults
  TEST_FILTER "-*search*:*OPEN_*"
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120 LABELS faults)
gtest_discover_tests(test_faults
  TEST_FILTER "*search*-*OPEN_*"
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120 LABELS faults
    RESOURCE_LOCK t6_system_serial_ports)
gtest_discover_tests(test_faults
  TEST_FILTER "*OPEN_*"
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120 LABELS faults-open
    RESOURCE_LOCK t6_system_serial_ports)
