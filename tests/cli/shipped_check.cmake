# Fails when a program of SHIPPED holds the name of the fault-injection variable, or when the
# companion built for tests (FAULTS) does not, which would mean that the search finds nothing.
foreach(program IN LISTS SHIPPED FAULTS)
    file(STRINGS ${program} found REGEX "GRADEWICK_REWRITE_FAULT")
    if(found AND NOT program STREQUAL FAULTS)
        message(FATAL_ERROR "${program} holds the fault-injection variable")
    elseif(NOT found AND program STREQUAL FAULTS)
        message(FATAL_ERROR "${program} does not hold the fault-injection variable")
    endif()
endforeach()
