# Build settings: the servers the installer talks to and the public key of the signed
# documents. Each host is "name" or "name:port"; schemes and paths are fixed in code, except
# that the update host may also be a full "http://" or "https://" address.
# The defaults are the production names; tests and the local channel override them.
set(KINST_CONFIG_HOST   "config.vesmark.com"   CACHE STRING "Configuration server (channel configuration, area and redirect lists)")
set(KINST_CDN_HOST      "cdn.vesmark.com"      CACHE STRING "Banner image CDN")
set(KINST_REPORT_HOST   "stat.vesmark.com"     CACHE STRING "Telemetry endpoint (messages are POSTed to /c/)")
set(KINST_CITYID_HOST   "geo.vesmark.com"      CACHE STRING "City id service (/ip/cityid)")
set(KINST_CITYINFO_HOST "cityinfo.vesmark.com" CACHE STRING "City information service, tried first")
set(KINST_CITYINFO_IP1  "203.0.113.10:80"      CACHE STRING "City information service, first fallback address")
set(KINST_CITYINFO_IP2  "203.0.113.11:80"      CACHE STRING "City information service, second fallback address")
set(KINST_UPDATE_HOST   "update.vesmark.com"   CACHE STRING "Self-update information server: host[:port] (over http) or a full https:// address")
set(KINST_PING_HOST     "www.vesmark.com"      CACHE STRING "Host pinged to tell a dead network from a slow server")
set(KINST_STRING_MASK "0x6B" CACHE STRING
    "One-byte XOR mask of telemetry strings (0-255, decimal or 0x hex); the report reader must use the same")
math(EXPR mask_decimal "${KINST_STRING_MASK}")
if(mask_decimal LESS 0 OR mask_decimal GREATER 255)
  message(FATAL_ERROR "KINST_STRING_MASK must fit in one byte, not ${KINST_STRING_MASK}")
endif()
math(EXPR KINST_STRING_MASK_VALUE "${mask_decimal}" OUTPUT_FORMAT HEXADECIMAL)
set(KINST_RSA_PUBLIC_KEY "${PROJECT_SOURCE_DIR}/tools/dev-keys/channel-dev.pub" CACHE FILEPATH
    "Public key of the signed documents, as written by kinst-sign (hexadecimal key blob)")

file(READ "${KINST_RSA_PUBLIC_KEY}" key_hex)
string(REGEX REPLACE "[ \t\r\n]" "" key_hex "${key_hex}")
string(LENGTH "${key_hex}" key_length)
if(NOT key_length EQUAL 516 OR NOT key_hex MATCHES "^[0-9a-fA-F]+$")
  message(FATAL_ERROR "${KINST_RSA_PUBLIC_KEY} is not a key blob written by kinst-sign (258 bytes in hexadecimal)")
endif()
string(REGEX REPLACE "([0-9a-fA-F][0-9a-fA-F])" "0x\\1," KINST_RSA_PUBLIC_KEY_BYTES "${key_hex}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${KINST_RSA_PUBLIC_KEY}")

set(KINST_GENERATED_DIR "${PROJECT_BINARY_DIR}/generated")
configure_file(${PROJECT_SOURCE_DIR}/src/build_settings.h.in ${KINST_GENERATED_DIR}/build_settings.h @ONLY)
