cmake_minimum_required(VERSION 3.25)
# Run with cmake -P. Fails when a source file of a layer includes a header
# of a layer it may not see (or of tests/ or tools/), when a front end that
# must run without a display links Qt GUI or Qt Widgets, and when the
# program or the command line holds a test double or a test seam. LAYERS lists each layer as NAME=ALLOWED,...
# (the layers it may include besides its own); PROBES names the programs
# that link only the engine and only the command line, built in PROBE_DIR
# (the build folder BUILD_DIR) by GENERATOR's MAKE_PROGRAM.
set(problems "")
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
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"(${alternatives})/")
    foreach(line ${lines})
      file(RELATIVE_PATH where ${SOURCE_DIR} ${source})
      string(APPEND problems "  ${where}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "Includes that cross the layers (${LAYERS}):\n${problems}")
endif()

# The link lines as the build wrote them, so that a toolkit library reached
# through any dependency, however indirect, shows: Makefiles keep each in
# the program's link.txt; Ninja prints the commands that make a program,
# the link last.
foreach(probe ${PROBES})
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
  if(line MATCHES "(libQt6(Gui|Widgets|OpenGL)[^ ]*|Qt6::(Gui|Widgets))")
    message(FATAL_ERROR "${probe} links ${CMAKE_MATCH_1}: the engine and the command line must run without a display")
  endif()
  if(NOT line MATCHES "libQt6Core|Qt6::Core|fennimo_core")
    message(FATAL_ERROR "No link line found for ${probe}")
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
