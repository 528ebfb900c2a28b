cmake_minimum_required(VERSION 3.22)
# Fails when a source file outside platform/ includes a POSIX system header:
# only platform/ calls the operating system. Tests, benchmarks and fuzz
# targets may, to set up and observe what they check.
# Run as: cmake -DROOT=<source dir> -P CheckSystemHeaders.cmake

set(layered util platform log controls app engine startup cli)
set(system_header "^(unistd\\.h|fcntl\\.h|signal\\.h|csignal|poll\\.h|dirent\\.h|pwd\\.h|spawn\\.h|termios\\.h|netdb\\.h|sys/|netinet/|arpa/)")

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/*.h ${ROOT}/*.cpp)
set(violations 0)
set(checked 0)
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" top "${source}")
  if(NOT top IN_LIST layered OR top STREQUAL "platform")
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*<[^>]+>")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^<]*<([^>]+)>.*$" "\\1" header "${line}")
    if(header MATCHES "${system_header}")
      message(SEND_ERROR "${source} includes <${header}>: operating-system calls belong in platform/")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} system include(s) outside platform/")
endif()
message(STATUS "${checked} files outside platform/ include no system header")
