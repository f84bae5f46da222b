# The include rules run on small trees made for each case: rules that let
# everything through would pass the real tree just as well.
#
#   cmake -DRULES=<include_rules.cmake> -DWORK_DIR=<a scratch folder> -P include_rules_test.cmake

cmake_minimum_required(VERSION 3.25)

set(failures "")

# check(<what> <expected> <file> <text> [<file> <text>...]): runs the rules on
# a tree of just these files under src/. <expected> is a line the rules must
# print, and fail, or PASSES. A "|" in a text stands for a semicolon, which
# would split the argument list.
function(check what expected)
  set(tree "${WORK_DIR}/case")
  file(REMOVE_RECURSE "${tree}")
  file(MAKE_DIRECTORY "${tree}/src")
  set(files ${ARGN})
  while(files)
    list(POP_FRONT files path text)
    string(REPLACE "|" ";" text "${text}")
    file(WRITE "${tree}/src/${path}" "${text}")
  endwhile()
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${tree}/src" -P "${RULES}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expected STREQUAL "PASSES")
    if(NOT result EQUAL 0)
      string(APPEND failures "${what}: should pass, but:\n${output}\n")
    endif()
  else()
    string(FIND "${output}" "${expected}" at)
    if(result EQUAL 0 OR at EQUAL -1)
      string(APPEND failures "${what}: should fail with\n  ${expected}\nbut:\n${output}\n")
    endif()
  endif()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

check("own headers, beside or from src/, lower ones, the generated header, the standard library" PASSES
  search/deep/query.h "#pragma once\n"
  search/deep/query.cpp "#include \"query.h\"\n#include \"search/deep/query.h\"\n#include \"text/gbk_codec.h\"\n#include \"program_info.h\"\n#include <numbers>\n#include <vector>\n"
  app/tform1.cpp "#include \"browser/gbk_qt.h\"\n#include \"options/usage_text.h\"\n#include <QMainWindow>\n")
check("a folder not written yet, and Qt where it is allowed" PASSES
  browser/page.cpp "#include \"run/search_run.h\"\n#include <QWebEnginePage>\n"
  cli/main.cpp "#include \"run/outputs.h\"\n#include \"options/usage_text.h\"\n"
  headless/main.cpp "#include \"run/outputs.h\"\n#include \"browser/page.h\"\n#include <QtCore/QTimer>\n")
check("a core folder reaching up"
  "src/files/result_export.h:3: #include \"search/result_list.h\": files may use only text\n"
  files/result_export.h "#pragma once\n\n#include \"search/result_list.h\"\n")
check("the arguments use nothing of the project"
  "src/options/usage_text.cpp:1: #include \"text/gbk_codec.h\": options may use none of the project's folders\n"
  options/usage_text.cpp "#include \"text/gbk_codec.h\"\n")
check("the run below the browser"
  "src/run/outputs.cpp:2: #include \"browser/gbk_qt.h\": run may use only text, search, files, numbers\n"
  run/outputs.cpp "#include \"run/outputs.h\"\n#include \"browser/gbk_qt.h\"\n")
check("a relative path out of the folder"
  "src/search/deep/x.cpp:1: #include \"../../files/settings_file.h\": search may use only text\n"
  files/settings_file.h "#pragma once\n"
  search/deep/x.cpp "#include \"../../files/settings_file.h\"\n")
check("spaces inside the directive"
  "src/numbers/x.cpp:1: #include \"app/tform1.h\": numbers may use only text\n"
  numbers/x.cpp "  #  include\t\"app/tform1.h\"\n")
check("lines counted across blank lines, brackets and semicolons"
  "src/text/x.cpp:4: #include \"search/q.h\": text may use none of the project's folders\n"
  text/x.cpp "// [a] b|\n\nint x[2] = {1, 2}|\r\n#include \"search/q.h\"\n")
check("the window and the command-line tool"
  "src/app/tform1.cpp:1: #include \"cli/commands.h\": a shell never includes another shell's headers\n"
  app/tform1.cpp "#include \"cli/commands.h\"\n")
check("the command-line tool and the search program"
  "src/cli/search_command.cpp:1: #include \"headless/progress.h\": a shell never includes another shell's headers\n"
  cli/search_command.cpp "#include \"headless/progress.h\"\n")
check("the search program and the window"
  "src/headless/main.cpp:1: #include \"app/gbk_qt.h\": a shell never includes another shell's headers\n"
  headless/main.cpp "#include \"app/gbk_qt.h\"\n")
check("a string of Qt in the core"
  "src/search/x.h:2: #include <QString>: search has no Qt\n"
  search/x.h "#pragma once\n#include <QString>\n")
check("a Qt module in the run"
  "src/run/x.cpp:1: #include <QtCore/QObject>: run has no Qt\n"
  run/x.cpp "#include <QtCore/QObject>\n")
check("the command-line arguments without Qt"
  "src/options/x.cpp:1: #include <QCoreApplication>: options has no Qt\n"
  options/x.cpp "#include <QCoreApplication>\n")
check("a folder without a row"
  "src/plugins: a folder that has no row in"
  plugins/x.cpp "#include \"text/error.h\"\n")

file(REMOVE_RECURSE "${WORK_DIR}/case")
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
