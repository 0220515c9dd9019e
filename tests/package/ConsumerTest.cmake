# Run by CTest (tests/package/CMakeLists.txt): installs BUILD_DIR into PREFIX, configures and
# builds the consumer example against it in CONSUMER_BINARY_DIR with TOOLCHAIN_FILE, and runs it
# with EMULATOR (scripts/wine-run). Prefix and consumer build start empty, so that a file the
# install leaves out, or a stale one it no longer writes, cannot hide.

# Runs the command; on failure prints its output and fails the test.
function(step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message("${output}")
    message(FATAL_ERROR "package test: ${what} failed (${result})")
  endif()
endfunction()

file(REMOVE_RECURSE ${PREFIX} ${CONSUMER_BINARY_DIR})
step("installing ${BUILD_DIR}" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
# The registration (kyt::sysreg) installs its header in package/ and its palette in the data folder.
foreach(file include/package/KYTSysReg.h share/kyt/palette/KYTPalette.rc share/kyt/palette/TKYTFORMHOOK.bmp)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "package test: the install has no ${file}")
  endif()
endforeach()

set(options -DCMAKE_BUILD_TYPE=${BUILD_TYPE})
if(BUILD_TYPE)
  string(TOUPPER ${BUILD_TYPE} config)
  list(APPEND options -DCMAKE_CXX_FLAGS_${config}=${CXX_FLAGS})
endif()
if(LAUNCHER)
  list(APPEND options -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
step("configuring the consumer"
  ${CMAKE_COMMAND} -S ${CONSUMER_SOURCE_DIR} -B ${CONSUMER_BINARY_DIR} -G ${GENERATOR}
  -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE} -DCMAKE_PREFIX_PATH=${PREFIX} ${options})
step("building the consumer" ${CMAKE_COMMAND} --build ${CONSUMER_BINARY_DIR})

# The consumer's report is the test's output. It runs in this build's Wine prefix, as the other
# tests do, not in one of its own next to its build.
if(NOT DEFINED ENV{WINEPREFIX})
  set(ENV{WINEPREFIX} ${BUILD_DIR}/wineprefix)
endif()
execute_process(COMMAND ${EMULATOR} ${CONSUMER_BINARY_DIR}/consumer.exe RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "package test: the consumer ended with ${result}")
endif()
