# The maker's public key for update descriptions, built into the program as
# ${TAVI_GENERATED_DIR}/update/update_key.cpp (README, "Publishing an update"):
#   TAVI_UPDATE_PUBLIC_KEY  a PEM or DER file holding the RSA public key (2048 bits or more)
#   TAVI_UPDATE_TEST_KEY    without a key: a throw-away key pair made once in
#                           TAVI_UPDATE_TEST_KEY_DIR (the test presets share build/update-test-key,
#                           so that a release made of both test builds has one key), for tests only
#   neither                 no key: the program refuses every update
# The DER form of the built-in key is kept as <build>/update-public-key.der (tools/release
# prints its fingerprint).
find_program(TAVI_OPENSSL openssl REQUIRED)
set(der ${CMAKE_BINARY_DIR}/update-public-key.der)
set(TAVI_UPDATE_TEST_KEY_DIR ${CMAKE_BINARY_DIR}/update-test-key CACHE PATH
    "Folder of the throw-away update key pair of TAVI_UPDATE_TEST_KEY")

function(tavi_openssl)
  execute_process(COMMAND ${TAVI_OPENSSL} ${ARGN} RESULT_VARIABLE failed ERROR_VARIABLE error
                  OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "openssl ${ARGN}: ${error}")
  endif()
endfunction()

if(TAVI_UPDATE_PUBLIC_KEY)
  set(TAVI_UPDATE_KEY_ORIGIN ${TAVI_UPDATE_PUBLIC_KEY})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVI_UPDATE_PUBLIC_KEY})
  execute_process(COMMAND ${TAVI_OPENSSL} pkey -pubin -in ${TAVI_UPDATE_PUBLIC_KEY} -outform DER
                          -out ${der} RESULT_VARIABLE failed ERROR_QUIET)
  if(failed)
    tavi_openssl(pkey -pubin -inform DER -in ${TAVI_UPDATE_PUBLIC_KEY} -outform DER -out ${der})
  endif()
elseif(TAVI_UPDATE_TEST_KEY)
  set(dir ${TAVI_UPDATE_TEST_KEY_DIR})
  set(TAVI_UPDATE_KEY_ORIGIN "a throw-away test key, ${dir}")
  if(NOT EXISTS ${dir}/private.pem)
    file(MAKE_DIRECTORY ${dir})
    tavi_openssl(genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out ${dir}/private.pem)
  endif()
  tavi_openssl(pkey -in ${dir}/private.pem -pubout -outform DER -out ${der})
  # The Windows suites sign their descriptions through CryptoAPI, which imports this form.
  tavi_openssl(rsa -in ${dir}/private.pem -outform MSBLOB -out ${dir}/private.blob)
else()
  file(REMOVE ${der})
endif()

set(TAVI_UPDATE_KEY_BYTES "")
if(EXISTS ${der})
  execute_process(COMMAND ${TAVI_OPENSSL} pkey -pubin -inform DER -in ${der} -noout -text
                  OUTPUT_VARIABLE text)
  if(NOT text MATCHES "Modulus:")
    message(FATAL_ERROR "The update key ${TAVI_UPDATE_KEY_ORIGIN} is no RSA key")
  endif()
  if(NOT text MATCHES "Public-Key: \\(([0-9]+) bit\\)" OR CMAKE_MATCH_1 LESS 2048)
    message(FATAL_ERROR "The update key ${TAVI_UPDATE_KEY_ORIGIN} has fewer than 2048 bits")
  endif()
  file(READ ${der} hex HEX)
  string(REGEX REPLACE "(..)" "\\\\x\\1" TAVI_UPDATE_KEY_BYTES "${hex}")
else()
  set(TAVI_UPDATE_KEY_ORIGIN "no key: this build refuses every update")
  message(STATUS "No update key (TAVI_UPDATE_PUBLIC_KEY): the program refuses every update")
endif()
configure_file(${CMAKE_SOURCE_DIR}/src/update/update_key.cpp.in
               ${TAVI_GENERATED_DIR}/update/update_key.cpp @ONLY)
