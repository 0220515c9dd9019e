# Helper functions every folder uses to declare its targets, plus the one shared GoogleTest build.
# Each function takes the target name (optionally after NAME), SOURCES ... and DEPS ...; DEPS are linked PUBLIC for libraries.

include_guard(GLOBAL)

# KYT_WINDOWS: the cross build for Windows. KYT_NATIVE: the host build of the portable parts.
if(WIN32)
  set(KYT_WINDOWS ON)
  set(KYT_NATIVE OFF)
else()
  set(KYT_WINDOWS OFF)
  set(KYT_NATIVE ON)
endif()

# ccache, when installed, as the compiler launcher. Paths below the source root are hashed relative
# to it and the build folder is left out of the hash, so a fresh clone in another folder (as CI
# makes) or a second work tree reuses the objects that an earlier build left in the cache, which
# lives outside the clone (ccache's own default, or CCACHE_DIR).
find_program(KYT_CCACHE ccache)
if(KYT_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(_kyt_launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1 ${KYT_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${_kyt_launcher})
  set(CMAKE_C_COMPILER_LAUNCHER ${_kyt_launcher})
endif()

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

set(KYT_TEST_TIMEOUT 300 CACHE STRING "CTest timeout in seconds for one test executable")
set(KYT_FUZZ_RUNS 4000 CACHE STRING "libFuzzer -runs= for the fuzz smoke tests")

# GoogleTest from the distribution's sources, built once with the active compiler.
set(KYT_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(INSTALL_GMOCK OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${KYT_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# Options shared by every target of the package itself (not by GoogleTest).
function(_kyt_common target)
  target_compile_features(${target} PRIVATE cxx_std_20)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:-Wall;-Wextra>")
  if(KYT_WINDOWS)
    # Windows 7 API level, which is what Wine 8 reports by default.
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()

# Reads `[NAME] name SOURCES ... DEPS ...` into `name`, KYT_SOURCES and KYT_DEPS; the caller's
# own flags and one-value keywords, if any, come first (`_kyt_parse_with("FLAG" "KEY" ${ARGV})`).
macro(_kyt_parse_with options one_value)
  cmake_parse_arguments(KYT "${options}" "NAME;${one_value}" "SOURCES;DEPS" ${ARGN})
  if(KYT_NAME)
    set(name ${KYT_NAME})
  else()
    list(POP_FRONT KYT_UNPARSED_ARGUMENTS name)
  endif()
  if(NOT name OR KYT_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${CMAKE_CURRENT_FUNCTION}: expected [NAME] name SOURCES ... DEPS ..., got ${ARGN}")
  endif()
endmacro()
macro(_kyt_parse)
  _kyt_parse_with("" "" ${ARGV})
endmacro()

# The resource that makes UTF-8 the code page of every executable the project builds. Installed
# applications get it through kyt::vcl (see kyt_offer_manifest).
set(KYT_UTF8_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/Utf8Manifest.rc)

# Where the package installs; the library, header and data folders are GNUInstallDirs' ones.
include(GNUInstallDirs)
set(KYT_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/kyt)
set(KYT_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/kyt)

# 32-bit Windows prefixes C symbols with an underscore; the linker options below name them.
if(KYT_WINDOWS AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(_kyt_c_symbol_prefix _)
else()
  set(_kyt_c_symbol_prefix "")
endif()

# Static library; the repository root is its public include directory (include/ once installed,
# with the same folder layout). Every library is installed and exported as kyt::<name without
# kyt_> unless NO_INSTALL (test support). CLASS_TABLE names a source that defines the C array
# <name>_classes listing every class the library's units register: each unit registers its classes
# from a static initialiser, which runs only when the linker takes the unit out of the archive, so
# every executable linking the library is made to link the table, and through it each unit, and a
# form file can name a class that no code names.
function(kyt_add_library)
  _kyt_parse_with("NO_INSTALL" "CLASS_TABLE" ${ARGV})
  add_library(${name} STATIC ${KYT_SOURCES} ${KYT_CLASS_TABLE})
  _kyt_common(${name})
  # The headers use C++20, so code that includes them must compile as C++20 too.
  target_compile_features(${name} PUBLIC cxx_std_20)
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  if(KYT_DEPS)
    target_link_libraries(${name} PUBLIC ${KYT_DEPS})
  endif()
  if(KYT_CLASS_TABLE)
    # Unlike -u, a table missing from the library (a misspelt name) fails the link.
    target_link_options(${name} INTERFACE
      "LINKER:--require-defined=${_kyt_c_symbol_prefix}${name}_classes")
  endif()
  # Debug libraries carry a d, so that a Release and a Debug build install into one prefix.
  set_target_properties(${name} PROPERTIES DEBUG_POSTFIX d)
  if(KYT_WINDOWS AND NOT KYT_NO_INSTALL)
    _kyt_install_library(${name})
  endif()
endfunction()

# Installs the library into the package's export set and, once per folder, the folder's headers
# (the private ones, *Private.h, stay behind).
# An installed application that links kyt::vcl gets the UTF-8 manifest as a source of its own,
# unless it sets its target property KYT_OWN_MANIFEST to keep a manifest of its own (a process
# has one). Libraries never take it.
function(kyt_offer_manifest library)
  install(FILES ${KYT_UTF8_MANIFEST} DESTINATION ${KYT_INSTALL_DATADIR})
  get_filename_component(file ${KYT_UTF8_MANIFEST} NAME)
  set(wanted "$<AND:$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>,$<NOT:$<BOOL:$<TARGET_PROPERTY:KYT_OWN_MANIFEST>>>>")
  target_sources(${library} INTERFACE "$<INSTALL_INTERFACE:$<${wanted}:$<INSTALL_PREFIX>/${KYT_INSTALL_DATADIR}/${file}>>")
endfunction()

function(_kyt_install_library name)
  string(REGEX REPLACE "^kyt_" "" export_name ${name})
  set_target_properties(${name} PROPERTIES EXPORT_NAME ${export_name})
  install(TARGETS ${name} EXPORT kytTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  set_property(GLOBAL APPEND PROPERTY KYT_INSTALLED_LIBRARIES ${name})
  get_property(done DIRECTORY PROPERTY KYT_HEADERS_INSTALLED)
  if(NOT done)
    set_property(DIRECTORY PROPERTY KYT_HEADERS_INSTALLED ON)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    list(FILTER headers EXCLUDE REGEX "Private\\.h$")
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${folder})
  endif()
endfunction()

# The package configuration, once every folder is read: kyt::kyt links every installed library,
# kytTargets.cmake holds the exported targets, and find_package(kyt) accepts the same major version
# built for the same pointer size.
function(kyt_install_package)
  include(CMakePackageConfigHelpers)
  get_property(libraries GLOBAL PROPERTY KYT_INSTALLED_LIBRARIES)
  add_library(kyt INTERFACE)
  target_link_libraries(kyt INTERFACE ${libraries})
  install(TARGETS kyt EXPORT kytTargets)
  install(EXPORT kytTargets NAMESPACE kyt:: DESTINATION ${KYT_INSTALL_CMAKEDIR})
  list(TRANSFORM libraries REPLACE "^kyt_" "" OUTPUT_VARIABLE KYT_COMPONENTS)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kytConfig.cmake.in
    ${PROJECT_BINARY_DIR}/kytConfig.cmake INSTALL_DESTINATION ${KYT_INSTALL_CMAKEDIR})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/kytConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/kytConfig.cmake ${PROJECT_BINARY_DIR}/kytConfigVersion.cmake
    DESTINATION ${KYT_INSTALL_CMAKEDIR})
endfunction()

function(_kyt_executable name)
  _kyt_common(${name})
  # An executable whose target property KYT_OWN_RESOURCES is set compiles the manifest and the
  # palettes into one resource script of its own: the GNU linker's merge of several resource
  # objects gave an executable that lost resources (and once its exceptions' unwinding).
  if(KYT_WINDOWS)
    target_sources(${name} PRIVATE "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:KYT_OWN_RESOURCES>>>:${KYT_UTF8_MANIFEST}>")
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(KYT_DEPS)
    target_link_libraries(${name} PRIVATE ${KYT_DEPS})
  endif()
endfunction()

# GoogleTest executable registered as ONE CTest test of the same name (run by Wine on Windows).
# On Windows `main` comes from kyt_test_support; natively from gtest_main.
function(kyt_add_test_executable)
  _kyt_parse(${ARGV})
  add_executable(${name} ${KYT_SOURCES})
  _kyt_executable(${name})
  if(KYT_WINDOWS)
    target_link_libraries(${name} PRIVATE kyt_test_support gmock gtest)
  else()
    target_link_libraries(${name} PRIVATE gmock gtest_main gtest)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${KYT_TEST_TIMEOUT})
endfunction()

# Windowed (GUI subsystem) executable.
function(kyt_add_gui_executable)
  _kyt_parse(${ARGV})
  add_executable(${name} WIN32 ${KYT_SOURCES})
  _kyt_executable(${name})
endfunction()

# Console subsystem executable (it may still create windows).
function(kyt_add_console_executable)
  _kyt_parse(${ARGV})
  add_executable(${name} ${KYT_SOURCES})
  _kyt_executable(${name})
endfunction()

# Benchmark executable; scripts/bench runs every bench_* and prints the ratios it reports.
function(kyt_add_bench)
  _kyt_parse(${ARGV})
  add_executable(${name} ${KYT_SOURCES})
  _kyt_executable(${name})
endfunction()

# libFuzzer target (native clang build only; elsewhere nothing). Also a CTest smoke test that runs
# it for KYT_FUZZ_RUNS inputs over its seed corpus fuzz/corpus/<name> when that folder exists;
# new inputs go to a scratch corpus in the build tree so the sources stay untouched.
function(kyt_add_fuzzer)
  _kyt_parse(${ARGV})
  if(NOT KYT_NATIVE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${name} ${KYT_SOURCES})
  _kyt_executable(${name})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(scratch ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${scratch})
  set(corpus)
  if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
  add_test(NAME ${name} COMMAND ${name} -runs=${KYT_FUZZ_RUNS} ${scratch} ${corpus})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${KYT_TEST_TIMEOUT})
endfunction()
