# Authenticode signing for tests, with Debian's osslsigncode and a certificate made at test time.
# include() it from a -P script.

# Sets SIGNING_MISSING to a message when osslsigncode or openssl cannot be found, else clears it.
function(find_signing_tools)
  find_program(OSSLSIGNCODE osslsigncode)
  find_program(OPENSSL openssl)
  if(OSSLSIGNCODE AND OPENSSL)
    set(SIGNING_MISSING "" PARENT_SCOPE)
  else()
    set(SIGNING_MISSING "SKIPPED: osslsigncode or openssl is not installed (scripts/install-deps.sh installs both)"
        PARENT_SCOPE)
  endif()
endfunction()

# Signs `in` into `out` with a self-signed code-signing certificate kept in `folder` (cert.pem,
# made on first use). No time stamp: nothing is fetched.
function(sign_program in out folder)
  if(NOT EXISTS "${folder}/cert.pem")
    execute_process(COMMAND "${OPENSSL}" req -x509 -newkey rsa:2048 -nodes -days 2
                            -subj "/CN=Edamiru test publisher" -addext "extendedKeyUsage=codeSigning"
                            -keyout "${folder}/key.pem" -out "${folder}/cert.pem"
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "openssl could not make a certificate:\n${err}")
    endif()
  endif()
  file(REMOVE "${out}")
  execute_process(COMMAND "${OSSLSIGNCODE}" sign -certs "${folder}/cert.pem" -key "${folder}/key.pem"
                          -n "Edamiru test" -in "${in}" -out "${out}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "osslsigncode sign ${in} failed:\n${output}\n${err}")
  endif()
endfunction()

# Fails unless osslsigncode verifies `program` against the certificate in `folder`: the exit
# status, and the digest it calculates equal to the one the signature carries.
function(expect_valid_signature program folder)
  execute_process(COMMAND "${OSSLSIGNCODE}" verify -CAfile "${folder}/cert.pem" -in "${program}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE err)
  string(REGEX MATCH "Current message digest *: *([0-9A-Fa-f]+)" current "${output}")
  set(current "${CMAKE_MATCH_1}")
  string(REGEX MATCH "Calculated message digest *: *([0-9A-Fa-f]+)" calculated "${output}")
  set(calculated "${CMAKE_MATCH_1}")
  if(NOT status EQUAL 0 OR NOT current STREQUAL calculated)
    message(FATAL_ERROR "osslsigncode verify ${program}: exit ${status}\n${output}\n${err}")
  endif()
endfunction()
