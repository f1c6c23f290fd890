# Checks the vendor base address at configure time: a scheme and a host, nothing after the
# host but an optional path, no user name, no blanks. A release build refuses an empty
# address, a loopback host, and plain http unless asked for.
function(rw_check_vendor_url url release allow_http)
  if(url STREQUAL "")
    message(FATAL_ERROR "RESTWELL_VENDOR_URL is empty: give the vendor host's base address with its scheme, "
                        "e.g. RESTWELL_VENDOR_URL=https://updates.example.org")
  endif()
  if(NOT url MATCHES "^(https?)://([A-Za-z0-9.-]+|\\[[0-9A-Fa-f:.]+\\])(:[0-9]+)?(/[A-Za-z0-9._~%/-]*)?$")
    message(FATAL_ERROR "RESTWELL_VENDOR_URL=\"${url}\" is not a base address such as https://updates.example.org "
                        "(scheme http or https, a host, an optional port and path; no user name, query or blanks)")
  endif()
  set(scheme "${CMAKE_MATCH_1}")
  string(TOLOWER "${CMAKE_MATCH_2}" host)
  if(url MATCHES "/$")
    message(FATAL_ERROR "RESTWELL_VENDOR_URL=\"${url}\" ends in \"/\": give the base without it")
  endif()
  if(release)
    if(host MATCHES "^(localhost|127\\.[0-9.]+|\\[::1\\]|0\\.0\\.0\\.0)$")
      message(FATAL_ERROR "RESTWELL_VENDOR_URL=\"${url}\" is a loopback address: a release must name the real host")
    endif()
    if(scheme STREQUAL "http" AND NOT allow_http)
      message(FATAL_ERROR "RESTWELL_VENDOR_URL=\"${url}\" is plain http: use https, or configure with "
                          "RESTWELL_ALLOW_HTTP=ON to ship an unencrypted update check on purpose")
    endif()
  endif()
endfunction()
