cmake_minimum_required(VERSION 3.25)
# Run with cmake -P. Fails when a source file of a layer includes a header
# of a layer it may not see (or of tests/ or tools/), or a layer that must
# know no Qt includes a Qt header; when a library links what it may not; and
# when the program or a library beneath it holds a test double or a test
# seam. LAYERS lists each layer as NAME=ALLOWED,... (the layers it may
# include besides its own); QT_FREE the layers that include nothing of Qt;
# PROBES each program that links one library alone as PROGRAM=FORBIDDEN, a
# regular expression of what its link line may not hold, built in PROBE_DIR
# (the build folder BUILD_DIR) by GENERATOR's MAKE_PROGRAM.
set(problems "")
# Adds to `problems` every line of a source file of `layer` that includes
# what the regular expression `include` (the part after #include) matches.
function(find_includes layer include)
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*${include}")
    foreach(line ${lines})
      file(RELATIVE_PATH where ${SOURCE_DIR} ${source})
      string(APPEND problems "  ${where}: ${line}\n")
    endforeach()
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

set(names "")
foreach(entry ${LAYERS})
  string(REGEX REPLACE "=.*" "" name "${entry}")
  list(APPEND names ${name})
endforeach()
foreach(entry ${LAYERS})
  string(REGEX REPLACE "=.*" "" layer "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" allowed "${entry}")
  string(REPLACE "," ";" allowed "${allowed}")
  set(forbidden tests tools)
  foreach(name ${names})
    if(NOT name STREQUAL layer AND NOT name IN_LIST allowed)
      list(APPEND forbidden ${name})
    endif()
  endforeach()
  list(JOIN forbidden "|" alternatives)
  find_includes(${layer} "\"(${alternatives})/")
endforeach()
if(problems)
  message(FATAL_ERROR "Includes that cross the layers (${LAYERS}):\n${problems}")
endif()
foreach(layer ${QT_FREE})
  find_includes(${layer} "<Q")
endforeach()
if(problems)
  message(FATAL_ERROR "Qt in a layer that knows no toolkit (${QT_FREE}):\n${problems}")
endif()

# The link lines as the build wrote them, so that a toolkit library reached
# through any dependency, however indirect, shows: Makefiles keep each in
# the program's link.txt; Ninja prints the commands that make a program,
# the link last.
foreach(entry ${PROBES})
  string(REGEX REPLACE "=.*" "" probe "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" forbidden "${entry}")
  if(GENERATOR MATCHES "Ninja")
    execute_process(COMMAND ${MAKE_PROGRAM} -C ${BUILD_DIR} -t commands ${probe} OUTPUT_VARIABLE line
                    RESULT_VARIABLE status)
    string(STRIP "${line}" line)
    string(REGEX MATCH "[^\n]*$" line "${line}")
  else()
    set(link_txt ${PROBE_DIR}/CMakeFiles/${probe}.dir/link.txt)
    if(EXISTS ${link_txt})
      file(READ ${link_txt} line)
    else()
      set(line "")
    endif()
  endif()
  if(NOT line MATCHES "fennimo_")
    message(FATAL_ERROR "No link line found for ${probe}")
  endif()
  if(line MATCHES "(${forbidden})")
    message(FATAL_ERROR "${probe} links ${CMAKE_MATCH_1}, which its library may not reach")
  endif()
endforeach()

# No test seam in the program or in the command line's objects (SEAM_CHECKED),
# whatever its name. First, no symbol that the tests' own library (SUPPORT)
# defines, compared by mangled name: its doubles live there and nowhere else.
# Only its strong definitions count; the inline functions and templates of
# the product's headers that it compiles are weak. Then no entry point by
# which a test steers the product from outside: a setter of a hook, an
# override or a stand-in, a reset of them, a pretence. Every seam is a
# parameter or a virtual of an object the test builds.
function(defined_symbols file types out)
  execute_process(COMMAND nm --defined-only ${file} OUTPUT_VARIABLE symbols RESULT_VARIABLE status
                  ERROR_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "nm could not read ${file}")
  endif()
  string(REGEX MATCHALL "[0-9a-f]+ [${types}] [^\n]+" lines "${symbols}")
  list(TRANSFORM lines REPLACE "^[0-9a-f]+ . " "")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

if(SEAM_CHECKED)
  set(support "")
  foreach(library ${SUPPORT})
    defined_symbols(${library} "TDBR" symbols)
    list(APPEND support ${symbols})
  endforeach()
  list(REMOVE_DUPLICATES support)
  if(NOT support)
    message(FATAL_ERROR "No symbol found in the tests' library: ${SUPPORT}")
  endif()
  foreach(file ${SEAM_CHECKED})
    defined_symbols(${file} "a-zA-Z" symbols)
    list(JOIN symbols "\n" text)
    set(text "\n${text}\n")
    foreach(symbol ${support})
      string(FIND "${text}" "\n${symbol}\n" at)
      if(NOT at EQUAL -1)
        execute_process(COMMAND c++filt ${symbol} OUTPUT_VARIABLE readable OUTPUT_STRIP_TRAILING_WHITESPACE)
        message(FATAL_ERROR "${file} holds a test double: ${readable}")
      endif()
    endforeach()
    execute_process(COMMAND nm -C ${file} OUTPUT_VARIABLE readable ERROR_QUIET)
    string(REGEX MATCHALL "[^\n]*[ :](((set|reset|clear)_[a-z_]*(hook|override|overrides|stand_in)s?)|test_hooks|pretend_[a-z_]*|staged_[a-z_]*)[(:][^\n]*"
           seams "${readable}")
    foreach(seam ${seams})
      message(FATAL_ERROR "${file} holds a test seam: ${seam}")
    endforeach()
  endforeach()
endif()
message(STATUS "Layers and program are clean")
