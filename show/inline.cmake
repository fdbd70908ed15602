# Joins the page's sources into one self-contained template: in the skeleton INPUT, each
# <link rel="stylesheet" href="F"> becomes a <style> element with F's text, and each
# <script ... src="F" ...></script> the same element without src and with F's text inside
# (other attributes kept). F is a path relative to the skeleton's folder. Everything else is
# copied as it is, so the skeleton alone lists the page's files and their order.
# Usage: cmake -DINPUT=show/page/page.html -DOUTPUT=page.html -P inline.cmake
cmake_minimum_required(VERSION 3.21...3.25)
get_filename_component(folder "${INPUT}" DIRECTORY)
file(READ "${INPUT}" rest)

# F's text, stopping the build where it holds what would end its element early: an HTML
# parser ends a script (or style) element at the first "</script" ("</style") in any letter
# case, whatever the script's own syntax says.
function(read_inlined name element out)
  if(NOT EXISTS "${folder}/${name}")
    message(FATAL_ERROR "${INPUT} names ${name}, which is not in ${folder}")
  endif()
  file(READ "${folder}/${name}" text)
  string(TOLOWER "${text}" lower)
  string(FIND "${lower}" "</${element}" found)
  if(found GREATER -1)
    message(FATAL_ERROR "${folder}/${name} holds \"</${element}\", which would end its "
                        "<${element}> element early in the built page: write it as \"<\\/${element}\"")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(page "")
while(TRUE)
  string(REGEX MATCH "<link rel=\"stylesheet\" href=\"[^\"]+\">|<script[^>]* src=\"[^\"]+\"[^>]*></script>"
         tag "${rest}")
  if(tag STREQUAL "")
    break()
  endif()
  string(FIND "${rest}" "${tag}" at)
  string(SUBSTRING "${rest}" 0 ${at} before)
  string(LENGTH "${tag}" length)
  math(EXPR after "${at} + ${length}")
  string(SUBSTRING "${rest}" ${after} -1 rest)
  string(APPEND page "${before}")
  string(REGEX MATCH " (src|href)=\"([^\"]+)\"" source "${tag}")
  set(name "${CMAKE_MATCH_2}")
  if(tag MATCHES "^<link")
    read_inlined("${name}" style text)
    string(APPEND page "<style>${text}</style>")
  else()
    read_inlined("${name}" script text)
    string(REPLACE "${source}" "" opening "${tag}")
    string(REPLACE "></script>" ">" opening "${opening}")
    string(APPEND page "${opening}${text}</script>")
  endif()
endwhile()
string(APPEND page "${rest}")

file(WRITE "${OUTPUT}.new" "${page}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
