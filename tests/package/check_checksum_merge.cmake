# The SHA256SUMS step run as CPack runs it, once per generator, over a folder that already
# holds packages and an old SHA256SUMS: lines of this version's packages are hashed afresh,
# lines of other versions and of packages that are gone are dropped. CHECKSUMS names the script.
if(NOT DEFINED CHECKSUMS OR NOT DEFINED WORK_DIR)
    message(FATAL_ERROR "check_checksum_merge.cmake needs -DCHECKSUMS=... -DWORK_DIR=...")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/staging")
set(CPACK_PACKAGE_DIRECTORY "${WORK_DIR}")
set(CPACK_PACKAGE_FILE_NAME "Gradewick-2.1.0-win64")

# Beside the packages: this version's installer (changed since its line was written), an older
# version's zip, and a line for a package that is gone.
file(WRITE "${WORK_DIR}/Gradewick-2.1.0-win64.exe" "installer, rebuilt")
file(WRITE "${WORK_DIR}/Gradewick-2.0.0-win64.zip" "old zip")
string(REPEAT "0" 64 stale_hash)
file(WRITE "${WORK_DIR}/SHA256SUMS"
     "${stale_hash}  Gradewick-2.1.0-win64.exe\n${stale_hash}  Gradewick-2.0.0-win64.zip\n"
     "${stale_hash}  Gradewick-2.1.0-win64.msi\nnot a checksum line\n")

# The zip generator has just made its package in the staging area.
file(WRITE "${WORK_DIR}/staging/Gradewick-2.1.0-win64.zip" "new zip")
set(CPACK_PACKAGE_FILES "${WORK_DIR}/staging/Gradewick-2.1.0-win64.zip")
include("${CHECKSUMS}")

file(SHA256 "${WORK_DIR}/Gradewick-2.1.0-win64.exe" exe_hash)
file(SHA256 "${WORK_DIR}/staging/Gradewick-2.1.0-win64.zip" zip_hash)
set(expected "${exe_hash}  Gradewick-2.1.0-win64.exe\n${zip_hash}  Gradewick-2.1.0-win64.zip\n")
file(READ "${WORK_DIR}/SHA256SUMS" actual)
if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "SHA256SUMS after the merge:\n${actual}\nexpected:\n${expected}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "SHA256SUMS merged as expected")
