# Which folder of src/ may include which: the layout table of CONTRIBUTING.md,
# kept here once, checked on every #include line of every source under
# src/<folder>/. Prints each include that breaks a rule, with its file and
# line, and fails.
#
#   cmake -DSOURCE_DIR=<the src folder> -P include_rules.cmake
#
# A folder may always include its own headers and the generated
# program_info.h. A rule may name a folder that does not exist yet.

cmake_minimum_required(VERSION 3.25)

# folder(<name> [NO_QT] [SHELL] [USES <folder>...])
function(folder name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_QT;SHELL" "" "USES")
  set_property(GLOBAL APPEND PROPERTY folders ${name})
  set_property(GLOBAL PROPERTY ${name}_uses "${arg_USES}")
  if(arg_NO_QT)
    set_property(GLOBAL APPEND PROPERTY qt_free ${name})
  endif()
  if(arg_SHELL)
    set_property(GLOBAL APPEND PROPERTY shells ${name})
  endif()
endfunction()

folder(text     NO_QT)
folder(search   NO_QT USES text)
folder(files    NO_QT USES text)
folder(numbers  NO_QT USES text)
folder(run      NO_QT USES text search files numbers)
folder(options  NO_QT)
folder(browser        USES text search files numbers run)
folder(app      SHELL USES text search files numbers run browser options)
folder(cli      SHELL USES text search files numbers run options)
folder(headless SHELL USES text search files numbers run browser options)

get_property(folders GLOBAL PROPERTY folders)
get_property(qt_free GLOBAL PROPERTY qt_free)
get_property(shells GLOBAL PROPERTY shells)

if(NOT DEFINED SOURCE_DIR)
  message(FATAL_ERROR "Usage: cmake -DSOURCE_DIR=<the src folder> -P ${CMAKE_CURRENT_LIST_FILE}")
endif()
cmake_path(ABSOLUTE_PATH SOURCE_DIR NORMALIZE)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "No folder ${SOURCE_DIR}")
endif()
# With a trailing slash, as the paths below expect; files are shown from the
# folder above, as src/<folder>/...
string(REGEX REPLACE "/+$" "" SOURCE_DIR "${SOURCE_DIR}")
cmake_path(GET SOURCE_DIR PARENT_PATH shown_from)
string(APPEND SOURCE_DIR "/")

set(problems "")

# A folder without a row would escape every rule.
file(GLOB entries LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}*")
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY "${SOURCE_DIR}${entry}" AND NOT entry IN_LIST folders)
    list(APPEND problems "src/${entry}: a folder that has no row in ${CMAKE_CURRENT_LIST_FILE}")
  endif()
endforeach()

# project_folder(<include> <delimiter> <including file> <out>): the folder of
# src/ whose header the include names, "-" for program_info.h, or "" for a
# header from outside the project.
function(project_folder include delimiter file out)
  set(target "")
  # Quoted includes are looked for beside the including file first.
  if(delimiter STREQUAL "\"")
    cmake_path(GET file PARENT_PATH beside)
    cmake_path(APPEND beside "${include}")
    cmake_path(NORMAL_PATH beside)
    if(EXISTS "${beside}" AND NOT IS_DIRECTORY "${beside}")
      cmake_path(IS_PREFIX SOURCE_DIR "${beside}" NORMALIZE inside)
      if(inside)
        file(RELATIVE_PATH target "${SOURCE_DIR}" "${beside}")
      endif()
    endif()
  endif()
  if(target STREQUAL "")
    set(target "${include}")
    cmake_path(NORMAL_PATH target)
  endif()
  set(folder "")
  if(target STREQUAL "program_info.h")
    set(folder "-")
  elseif(target MATCHES "^([^/.][^/]*)/")
    # Standard headers such as <numbers> have no slash; a path that climbs
    # out of src/ leaves the project.
    if(CMAKE_MATCH_1 IN_LIST folders OR IS_DIRECTORY "${SOURCE_DIR}${CMAKE_MATCH_1}")
      set(folder "${CMAKE_MATCH_1}")
    endif()
  endif()
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources LIST_DIRECTORIES false "${SOURCE_DIR}*/*")
# C and C++ sources, headers, and the templates configured into them.
list(FILTER sources INCLUDE REGEX "\\.(h|hh|hpp|hxx|c|cc|cpp|cxx|inl|ipp|in)$")
list(SORT sources)
foreach(file IN LISTS sources)
  file(RELATIVE_PATH relative "${SOURCE_DIR}" "${file}")
  string(REGEX MATCH "^[^/]+" own "${relative}")
  file(RELATIVE_PATH shown "${shown_from}" "${file}")
  get_property(uses GLOBAL PROPERTY ${own}_uses)
  if(uses)
    string(REPLACE ";" ", " may_use "${own} may use only ${uses}")
  else()
    set(may_use "${own} may use none of the project's folders")
  endif()

  file(READ "${file}" text)
  # One list item a line. The characters a list treats specially are no part
  # of an include worth checking; the leading "+" keeps empty lines as items.
  string(REPLACE ";" " " text "${text}")
  string(REPLACE "[" " " text "${text}")
  string(REPLACE "]" " " text "${text}")
  string(REPLACE "\\" "/" text "${text}")
  string(REPLACE "\n" ";+" lines "+${text}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(NOT line MATCHES "^\\+[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]*)[\">]")
      continue()
    endif()
    set(delimiter "${CMAKE_MATCH_1}")
    set(include "${CMAKE_MATCH_2}")
    if(delimiter STREQUAL "<")
      set(written "<${include}>")
    else()
      set(written "\"${include}\"")
    endif()
    set(where "${shown}:${number}: #include ${written}")

    if(own IN_LIST qt_free AND include MATCHES "^Q")
      list(APPEND problems "${where}: ${own} has no Qt")
      continue()
    endif()
    project_folder("${include}" "${delimiter}" "${file}" used)
    if(used STREQUAL "" OR used STREQUAL "-" OR used STREQUAL own OR used IN_LIST uses)
      continue()
    endif()
    if(own IN_LIST shells AND used IN_LIST shells)
      list(APPEND problems "${where}: a shell never includes another shell's headers")
    else()
      list(APPEND problems "${where}: ${may_use}")
    endif()
  endforeach()
endforeach()

if(problems)
  list(LENGTH problems count)
  foreach(problem IN LISTS problems)
    message(NOTICE "${problem}")
  endforeach()
  message(FATAL_ERROR "${count} include(s) against the layout rules of ${CMAKE_CURRENT_LIST_FILE}")
endif()
