# Runs inside CPack after each package generator (CPACK_POST_BUILD_SCRIPTS) and keeps
# SHA256SUMS beside the packages, one "<sha256>  <file name>" line per package of this version,
# the form `sha256sum -c SHA256SUMS` checks.
#
# CPack runs it once per generator, with CPACK_PACKAGE_FILES naming only that generator's
# packages, so the file is merged: packages of this version already beside it keep a line
# (hashed again from the file itself), the new ones get theirs, and lines of packages that are
# gone or of another version are dropped.

if(NOT CPACK_PACKAGE_DIRECTORY OR NOT CPACK_PACKAGE_FILE_NAME)
    message(FATAL_ERROR "checksums.cmake runs from CPack (CPACK_POST_BUILD_SCRIPTS)")
endif()

set(sums_file "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")
set(new_names "")
set(entries "")

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(name "${package}" NAME)
    file(SHA256 "${package}" hash)
    list(APPEND new_names "${name}")
    list(APPEND entries "${name}|${hash}")
endforeach()

if(EXISTS "${sums_file}")
    file(STRINGS "${sums_file}" lines)
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^[0-9a-f]+  (.+)$")
            continue()
        endif()
        set(name "${CMAKE_MATCH_1}")
        string(FIND "${name}" "${CPACK_PACKAGE_FILE_NAME}." prefix_at)
        list(FIND new_names "${name}" new_at)
        if(NOT prefix_at EQUAL 0 OR NOT new_at EQUAL -1
           OR NOT EXISTS "${CPACK_PACKAGE_DIRECTORY}/${name}")
            continue()
        endif()
        file(SHA256 "${CPACK_PACKAGE_DIRECTORY}/${name}" hash)
        list(APPEND new_names "${name}")
        list(APPEND entries "${name}|${hash}")
    endforeach()
endif()

list(SORT entries)
set(content "")
foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 hash)
    string(APPEND content "${hash}  ${name}\n")
endforeach()
file(WRITE "${sums_file}" "${content}")
message(STATUS "Checksums: ${sums_file}")
