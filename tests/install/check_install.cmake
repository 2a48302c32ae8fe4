# Installs the library into a scratch prefix, checks that the installed tree holds the public
# interface only, and builds a tiny application against it with find_package(Quarlen), as a
# user of the installed package would.
#   cmake -DBUILD_DIR=<build> -DCONSUMER_DIR=<dir> -DWORK_DIR=<dir> -DLIBRARY=<libquarlen.so>
#         -DNM=<nm> -DDEMO_DIR=<demo sources> -DREADME=<README.md> -P check_install.cmake
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
set(include_root ${prefix}/include/quarlen)
macro(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}")
  endif()
endmacro()
set(problems "")
macro(problem text)
  string(APPEND problems "  ${text}\n")
endmacro()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# 1. Only public headers: nothing of a detail/ folder, no *_internal.h, no Qt header included
# (Qt types appear only as forward declarations), and every header a public header includes
# with quotes is installed too.
file(GLOB_RECURSE installed RELATIVE ${include_root} ${include_root}/*)
if(NOT installed)
  message(FATAL_ERROR "no headers installed under ${include_root}")
endif()
foreach(rel IN LISTS installed)
  if(rel MATCHES "(^|/)detail/" OR rel MATCHES "_internal\\.h$")
    problem("internal header installed: ${rel}")
  endif()
  file(STRINGS ${include_root}/${rel} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*<Q")
      problem("${rel} includes a Qt header: ${line}")
    elseif(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      if(NOT EXISTS ${include_root}/${CMAKE_MATCH_1})
        problem("${rel} includes ${CMAKE_MATCH_1}, which is not installed")
      endif()
    endif()
  endforeach()
endforeach()

# 2. The demo is an ordinary application: every library header it includes is installed.
file(GLOB demo_sources ${DEMO_DIR}/*.cpp ${DEMO_DIR}/*.h)
foreach(source IN LISTS demo_sources)
  get_filename_component(name ${source} NAME)
  file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" header "${line}")
    if(NOT header MATCHES "^demo/" AND NOT EXISTS ${include_root}/${header})
      problem("demo/${name} includes ${header}, which is not an installed header")
    endif()
  endforeach()
endforeach()

# 3. The shared library exports no internal function except those a public header declares
# (inline code and macros of the public headers call them).
execute_process(COMMAND ${NM} -DC --defined-only ${LIBRARY}
  RESULT_VARIABLE rc OUTPUT_VARIABLE symbols ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}: ${err}")
endif()
string(REGEX MATCHALL "quarlen::detail::[A-Za-z_][A-Za-z0-9_]*" exported "${symbols}")
list(REMOVE_DUPLICATES exported)
set(public_text "")
foreach(rel IN LISTS installed)
  file(READ ${include_root}/${rel} text)
  string(APPEND public_text "${text}\n")
endforeach()
foreach(symbol IN LISTS exported)
  string(REPLACE "quarlen::detail::" "" name "${symbol}")
  if(NOT public_text MATCHES "[^A-Za-z0-9_]${name}[^A-Za-z0-9_]")
    problem("libquarlen exports ${symbol}, which no installed header declares")
  endif()
endforeach()

# 4. The README quotes the consumer verbatim under "A first application".
file(READ ${README} readme)
file(READ ${CONSUMER_DIR}/main.cpp consumer)
string(FIND "${readme}" "## A first application" at)
if(at EQUAL -1)
  problem("README.md has no section \"A first application\"")
else()
  string(SUBSTRING "${readme}" ${at} -1 section)
  string(FIND "${section}" "```cpp\n${consumer}```" quoted)
  if(quoted EQUAL -1)
    problem("README.md does not quote tests/install/consumer/main.cpp as it is")
  endif()
endif()

if(problems)
  message(FATAL_ERROR "the installed package is not the public interface alone:\n${problems}")
endif()

# 5. An application builds against the installed package and runs.
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build -G Ninja -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib ${WORK_DIR}/build/consumer)
string(FIND "${out}" "reference at 150 mm, view up to date" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the consumer did not report its settled view:\n${out}")
endif()
message(STATUS "installed package holds the public interface, builds and runs a consumer")
