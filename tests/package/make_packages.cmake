# Makes the release packages afresh in PACKAGE_DIR with CPack (CPACK, CONFIG).
foreach(variable CPACK CONFIG PACKAGE_DIR)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "make_packages.cmake needs -D${variable}=...")
    endif()
endforeach()
file(REMOVE_RECURSE "${PACKAGE_DIR}")
execute_process(COMMAND "${CPACK}" --config "${CONFIG}" -B "${PACKAGE_DIR}"
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed: ${result}")
endif()
