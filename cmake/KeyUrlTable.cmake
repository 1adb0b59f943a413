# Tables of KEY<TAB>URL rows that a packager may replace at build time: the source tree holds a
# default with placeholder hosts, and a cache variable points at a file of the same form with
# working addresses, without touching the code.

# Reads the rows of FILE into OUT_KEYS (in file order) and stops the configure step with a message
# naming the line for any malformed row, scheme outside SCHEMES or repeated key. VAR (the cache
# variable) and ITEM (what a key names: "channel", "station") only word the messages.
function(lumivo_read_key_url_table VAR ITEM FILE SCHEMES OUT_KEYS)
  if(NOT EXISTS "${FILE}" OR IS_DIRECTORY "${FILE}")
    message(FATAL_ERROR "${VAR}: no such file '${FILE}'")
  endif()
  list(JOIN SCHEMES "|" scheme_pattern)
  list(TRANSFORM SCHEMES APPEND "://" OUTPUT_VARIABLE scheme_names)
  list(POP_BACK scheme_names last_scheme)
  list(JOIN scheme_names ", " scheme_names)
  if(scheme_names)
    string(APPEND scheme_names " or ")
  endif()
  string(APPEND scheme_names "${last_scheme}")

  file(READ "${FILE}" text)
  # Only keys and each URL's scheme, host and port are checked, so characters that CMake lists
  # treat specially may be masked in the rest of a URL.
  string(REGEX REPLACE "[][;]" "_" text "${text}")
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(keys "")
  set(lineNo 0)
  foreach(line IN LISTS lines)
    math(EXPR lineNo "${lineNo} + 1")
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([A-Za-z0-9_-]+)\t([^\t]+)$")
      message(FATAL_ERROR "${FILE}:${lineNo}: expected '${ITEM}-key<TAB>URL', got '${line}'")
    endif()
    set(key "${CMAKE_MATCH_1}")
    set(url "${CMAKE_MATCH_2}")
    if(url MATCHES "[ \t]")
      message(FATAL_ERROR "${FILE}:${lineNo}: '${key}': URL '${url}' contains white space")
    endif()
    # Same form as RadioStationTable::isStationUrl, which checks the compiled-in radio table.
    if(NOT url MATCHES "^(${scheme_pattern})://[^/?#:]+(:[0-9]+)?([/?#].*)?$")
      message(FATAL_ERROR "${FILE}:${lineNo}: '${key}': URL '${url}' must start with ${scheme_names}, "
                          "a host and an optional numeric port")
    endif()
    if(key IN_LIST keys)
      message(FATAL_ERROR "${FILE}:${lineNo}: ${ITEM} key '${key}' occurs twice")
    endif()
    list(APPEND keys "${key}")
  endforeach()
  set(${OUT_KEYS} "${keys}" PARENT_SCOPE)
endfunction()

# lumivo_key_url_table(VAR ITEM <channel|station> DEFAULT <file> COUNT <n> SCHEMES <scheme>...
#                      OUT_FILE <var> OUT_REPLACED <var>)
# Checks the default file (it must hold COUNT rows) and, when the cache variable VAR names another
# file, that file too: it must list exactly the default's keys. Sets OUT_FILE to the real path of
# the file to compile in and OUT_REPLACED to 1 when that is not the default, else 0. Editing the
# chosen file re-runs the checks before it is compiled in.
function(lumivo_key_url_table VAR)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "ITEM;DEFAULT;COUNT;OUT_FILE;OUT_REPLACED" "SCHEMES")
  lumivo_read_key_url_table(${VAR} ${arg_ITEM} "${arg_DEFAULT}" "${arg_SCHEMES}" default_keys)
  list(LENGTH default_keys default_count)
  if(NOT default_count EQUAL arg_COUNT)
    message(FATAL_ERROR "${arg_DEFAULT}: ${default_count} ${arg_ITEM}s, expected ${arg_COUNT}")
  endif()
  file(REAL_PATH "${${VAR}}" chosen)
  file(REAL_PATH "${arg_DEFAULT}" default_file)
  if(chosen STREQUAL default_file)
    set(replaced 0)
  else()
    set(replaced 1)
    lumivo_read_key_url_table(${VAR} ${arg_ITEM} "${chosen}" "${arg_SCHEMES}" packager_keys)
    set(missing ${default_keys})
    if(packager_keys)
      list(REMOVE_ITEM missing ${packager_keys})
    endif()
    set(unexpected ${packager_keys})
    list(REMOVE_ITEM unexpected ${default_keys})
    if(missing OR unexpected)
      list(JOIN missing " " missing)
      list(JOIN unexpected " " unexpected)
      message(FATAL_ERROR "${VAR} '${chosen}' must list exactly the ${arg_COUNT} ${arg_ITEM}s of "
                          "${arg_DEFAULT}.\n"
                          "  missing: ${missing}\n  not ${arg_ITEM}s of that list: ${unexpected}")
    endif()
    message(STATUS "${VAR}: URLs from ${chosen}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${chosen})
  set(${arg_OUT_FILE} "${chosen}" PARENT_SCOPE)
  set(${arg_OUT_REPLACED} ${replaced} PARENT_SCOPE)
endfunction()
