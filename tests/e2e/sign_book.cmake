# Signs a book with osslsigncode and a certificate made here, as a publisher signs the finished
# book. Usage: cmake -DIN=... -DOUT=... -DWORK=... -P sign_book.cmake
# Prints "SKIPPED:" and makes nothing when the signing tools are missing.
include(${CMAKE_CURRENT_LIST_DIR}/../support/test_signing.cmake)
find_signing_tools()
if(SIGNING_MISSING)
  message("${SIGNING_MISSING}")
  return()
endif()
file(MAKE_DIRECTORY "${WORK}")
sign_program("${IN}" "${OUT}" "${WORK}")
expect_valid_signature("${OUT}" "${WORK}")
