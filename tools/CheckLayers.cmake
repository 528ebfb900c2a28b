cmake_minimum_required(VERSION 3.22)
# Fails when a source file includes a header from a folder above its own
# layer. Run as: cmake -DROOT=<source dir> -P CheckLayers.cmake
#
# Each folder lists the folders it may include from; the most specific folder
# that holds a file decides. Layers, lowest first: platform; util; log and
# the controls; app (job table, job list file, settings); engine; startup;
# the window (window, platform/desktop); the command line (cli). Tests,
# benchmarks, fuzz targets and tools (the control gallery) stand above them.

set(core_leaves util platform)
set(allowed_util util platform)
set(allowed_platform platform)
set(allowed_platform/desktop platform/desktop ${core_leaves})
set(allowed_log log ${core_leaves})
set(allowed_controls controls ${core_leaves})
set(allowed_app app controls ${core_leaves})
set(allowed_engine engine app log controls ${core_leaves})
set(allowed_startup startup engine app log controls ${core_leaves})
set(allowed_window window startup engine app log controls platform/desktop ${core_leaves})
set(allowed_cli cli window startup engine app log controls platform/desktop ${core_leaves})
# Most specific first.
set(folders window platform/desktop util platform log controls app engine startup cli)

function(folder_of path result)
  foreach(folder IN LISTS folders)
    if(path MATCHES "^${folder}/")
      set(${result} ${folder} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} "" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/*.h ${ROOT}/*.cpp)
set(violations 0)
set(checked 0)
foreach(source IN LISTS sources)
  folder_of(${source} own)
  if(own STREQUAL "")
    continue() # tests, benchmarks, tools, build folders: above every layer
  endif()
  math(EXPR checked "${checked} + 1")
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
    folder_of(${header} target)
    if(target STREQUAL "")
      continue() # a header beside the file
    endif()
    if(NOT target IN_LIST allowed_${own})
      message(SEND_ERROR "${source} (${own}) includes ${header} from ${target}, a layer above it")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) against the layers")
endif()
message(STATUS "${checked} files follow the layers")
