# Checks that every #include in the repository's own sources runs down the layers, never up:
#   cmake -D SOURCE_DIR=<repository> -P cmake/IncludeLayers.cmake
# prints how many includes run from each folder into each other one, then every include that runs
# from a lower folder to a higher one or between two peers, and fails on one. It first checks
# itself on a small tree of its own, written into the current folder and removed again.
cmake_minimum_required(VERSION 3.25)

# The layers, lowest first; peers share a line, separated by commas. A folder below a layer's
# folder belongs to it (tools/kytdesign is tools). The last line may include anything.
set(KYT_LAYERS
  host/core
  host/os
  host/rtl
  host/vcl
  host/design
  framework
  persistence,forms,dialogs,files,strings,system
  package
  tools
  examples
  tests,fuzz,bench)
# Includes between peers that are sound, as FROM>TO (no component folder includes another).
set(KYT_PEER_INCLUDES_ALLOWED)

# The rank (line in KYT_LAYERS, -1 when none) and the layer folder of a path below the root.
function(kyt_layer_of path out_rank out_folder)
  set(rank 0)
  foreach(line IN LISTS KYT_LAYERS)
    string(REPLACE "," ";" folders "${line}")
    foreach(folder IN LISTS folders)
      string(FIND "${path}" "${folder}/" at)
      if(at EQUAL 0)
        set(${out_rank} ${rank} PARENT_SCOPE)
        set(${out_folder} ${folder} PARENT_SCOPE)
        return()
      endif()
    endforeach()
    math(EXPR rank "${rank} + 1")
  endforeach()
  set(${out_rank} -1 PARENT_SCOPE)
  set(${out_folder} "" PARENT_SCOPE)
endfunction()

# Scans the sources below root; sets out_wrong to the includes that run up or sideways, each as
# "FILE includes TARGET (FROM up to TO)", and out_report to the counts per pair of folders.
function(kyt_check_layers root out_wrong out_report)
  list(LENGTH KYT_LAYERS layers)
  math(EXPR top "${layers} - 1")
  set(wrong)
  set(pairs)
  set(files 0)
  set(includes 0)
  # Only the layers' own folders: the build folders below the root are not sources.
  set(sources)
  list(SUBLIST KYT_LAYERS 0 ${top} checked)
  string(REPLACE "," ";" checked "${checked}")
  foreach(folder IN LISTS checked)
    set(globs)
    foreach(extension IN ITEMS h hpp inl c cc cpp rc)
      list(APPEND globs ${root}/${folder}/*.${extension})
    endforeach()
    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${root} ${globs})
    list(APPEND sources ${found})
  endforeach()
  list(SORT sources)
  foreach(source IN LISTS sources)
    kyt_layer_of("${source}" rank folder)
    math(EXPR files "${files} + 1")
    file(STRINGS ${root}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^\">]+)[\">]")
        continue()
      endif()
      set(target "${CMAKE_MATCH_1}")
      # A path that starts with a dot is relative to the including file.
      if(target MATCHES "^\\.")
        cmake_path(GET source PARENT_PATH base)
        cmake_path(APPEND base "${target}" OUTPUT_VARIABLE target)
        cmake_path(NORMAL_PATH target)
      endif()
      kyt_layer_of("${target}" target_rank target_folder)
      if(target_rank LESS 0 OR target_folder STREQUAL folder)
        continue()
      endif()
      math(EXPR includes "${includes} + 1")
      string(REPLACE "/" "." key "${folder}__${target_folder}")
      if(NOT DEFINED count_${key})
        set(count_${key} 0)
        list(APPEND pairs "${folder}>${target_folder}")
      endif()
      math(EXPR count_${key} "${count_${key}} + 1")
      if(target_rank GREATER rank OR
         (target_rank EQUAL rank AND NOT "${folder}>${target_folder}" IN_LIST KYT_PEER_INCLUDES_ALLOWED))
        list(APPEND wrong "${source} includes ${target} (${folder} up to ${target_folder})")
      endif()
    endforeach()
  endforeach()

  list(SORT pairs)
  string(REPLACE ";" " < " order "${KYT_LAYERS}")
  set(report "Layers, lowest first: ${order}\n${includes} includes across folders in ${files} files:")
  foreach(pair IN LISTS pairs)
    string(REPLACE ">" "__" key "${pair}")
    string(REPLACE "/" "." key "${key}")
    string(REPLACE ">" " -> " shown "${pair}")
    string(APPEND report "\n  ${shown}: ${count_${key}}")
  endforeach()
  set(${out_wrong} "${wrong}" PARENT_SCOPE)
  set(${out_report} "${report}" PARENT_SCOPE)
endfunction()

# Writes a small tree where three includes run the wrong way, and expects exactly those.
function(kyt_self_test)
  set(root ${CMAKE_CURRENT_BINARY_DIR}/include-layers-self-test)
  file(REMOVE_RECURSE ${root})
  file(WRITE ${root}/host/vcl/Up.h "#include \"host/core/Down.h\"\n#include \"package/KYTSysReg.h\"\n")
  file(WRITE ${root}/files/Peer.cpp "#include \"framework/KYTSystem.h\"\n  #  include <forms/KYTTOnlyOne.h>\n")
  file(WRITE ${root}/framework/sub/Relative.cpp
    "#include \"Local.h\"\n#include <windows.h>\n#include \"../../tools/kytdesign/Commands.h\"\n")
  file(WRITE ${root}/package/Down.rc "#include \"host/os/Win.h\"\n#include \"../system/KYTTWallPaper.h\"\n")
  file(WRITE ${root}/tools/kytdesign/forward/framework/Old.h "#include \"package/KYTSysReg.h\"\n")
  file(WRITE ${root}/tests/any/Test.cpp "#include \"examples/showcase/Showcase.h\"\n")
  file(WRITE ${root}/examples/Notes.txt "#include \"tests/support/Pump.h\"\n")
  kyt_check_layers(${root} wrong report)
  set(expected
    "files/Peer.cpp includes forms/KYTTOnlyOne.h (files up to forms)"
    "framework/sub/Relative.cpp includes tools/kytdesign/Commands.h (framework up to tools)"
    "host/vcl/Up.h includes package/KYTSysReg.h (host/vcl up to package)")
  if(NOT wrong STREQUAL expected)
    string(REPLACE ";" "\n  " wrong "${wrong}")
    message(FATAL_ERROR "include layers: the check itself found\n  ${wrong}")
  endif()
  file(REMOVE_RECURSE ${root})
endfunction()

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "include layers: SOURCE_DIR=<repository> is required")
endif()
kyt_self_test()
kyt_check_layers(${SOURCE_DIR} wrong report)
message("${report}")
list(LENGTH wrong count)
if(count GREATER 0)
  string(REPLACE ";" "\n  " wrong "${wrong}")
  message(FATAL_ERROR "${count} includes run from a lower folder to a higher one or between peers:\n  ${wrong}")
endif()
message("No include runs up or sideways.")
