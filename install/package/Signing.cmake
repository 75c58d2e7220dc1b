# Authenticode signatures on what the packages ship and on the packages, with the
# builder's certificate: a PKCS#12 file and its password, given to the configure step
# (-DPINCHWELL_SIGN_PKCS12=..., -DPINCHWELL_SIGN_PASSWORD=...) or in its environment
# (the same names), and a time-stamp server where one is given (PINCHWELL_TIMESTAMP_URL,
# RFC 3161), so that the signatures outlive the certificate. The certificate never lies
# in the repository; the password is kept only in a file of the build tree that its
# owner alone may read, not in the CMake cache.
set(PINCHWELL_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file with the certificate and key that sign the shipped binaries and the packages")
set(PINCHWELL_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the signatures (none: no time stamp)")
find_program(PINCHWELL_OSSLSIGNCODE osslsigncode)

# What the cache does not name, the configure step's environment may.
set(pinchwell_sign_pkcs12 "${PINCHWELL_SIGN_PKCS12}")
if(NOT pinchwell_sign_pkcs12)
  set(pinchwell_sign_pkcs12 "$ENV{PINCHWELL_SIGN_PKCS12}")
endif()
set(pinchwell_timestamp_url "${PINCHWELL_TIMESTAMP_URL}")
if(NOT pinchwell_timestamp_url)
  set(pinchwell_timestamp_url "$ENV{PINCHWELL_TIMESTAMP_URL}")
endif()

set(pinchwell_sign_password_file "")
if(pinchwell_sign_pkcs12)
  if(NOT EXISTS "${pinchwell_sign_pkcs12}")
    message(FATAL_ERROR "PINCHWELL_SIGN_PKCS12: ${pinchwell_sign_pkcs12} does not exist")
  endif()
  if(NOT PINCHWELL_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode, which scripts/setup.sh installs")
  endif()
  set(signing_folder ${CMAKE_BINARY_DIR}/signing)
  set(signing_password ${signing_folder}/password)
  # A password given now replaces the kept one; without one, the kept one serves. A key
  # without a password has no file: osslsigncode refuses to read an empty one.
  if(DEFINED PINCHWELL_SIGN_PASSWORD OR DEFINED ENV{PINCHWELL_SIGN_PASSWORD})
    set(password "$ENV{PINCHWELL_SIGN_PASSWORD}")
    if(DEFINED PINCHWELL_SIGN_PASSWORD)
      set(password "${PINCHWELL_SIGN_PASSWORD}")
    endif()
    unset(PINCHWELL_SIGN_PASSWORD CACHE)
    file(REMOVE ${signing_password})
    if(NOT password STREQUAL "")
      # The folder is closed to others before the password is written into it.
      file(MAKE_DIRECTORY ${signing_folder})
      file(CHMOD ${signing_folder} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
      file(WRITE ${signing_password} "${password}")
      file(CHMOD ${signing_password} PERMISSIONS OWNER_READ OWNER_WRITE)
    endif()
  endif()
  if(EXISTS ${signing_password})
    set(pinchwell_sign_password_file ${signing_password})
  endif()
  message(STATUS "Signing the shipped binaries and the packages with ${pinchwell_sign_pkcs12}")
else()
  message(STATUS "No signing certificate (PINCHWELL_SIGN_PKCS12): the packages and the binaries they ship are unsigned")
endif()

# pinchwell_sign_commands(OUT INPUT OUTPUT DESCRIPTION): the custom-command arguments that
# sign INPUT into OUTPUT, a new file (osslsigncode writes no file in place), and remove
# INPUT; DESCRIPTION is the name Windows shows in its prompts. Signs with the caller's
# sign_pkcs12, sign_password_file and sign_timestamp.
function(pinchwell_sign_commands out input output description)
  set(sign ${PINCHWELL_OSSLSIGNCODE} sign -pkcs12 ${sign_pkcs12} -h sha256 -n ${description})
  if(sign_password_file)
    list(APPEND sign -readpass ${sign_password_file})
  endif()
  if(sign_timestamp)
    list(APPEND sign -ts ${sign_timestamp})
  endif()
  set(${out}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${output}
    COMMAND ${sign} -in ${input} -out ${output}
    COMMAND ${CMAKE_COMMAND} -E rm ${input}
    PARENT_SCOPE)
endfunction()
