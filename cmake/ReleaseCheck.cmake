# The release check of a test tree: Restwell.exe linked for an https vendor host from this
# tree's libraries, with a release's resources (no pseudo-language), and site/ written for that
# host, in release-check/. A release tree compiles the libraries with the same commands
# (scripts/run_tests.py compares them), so the check needs no second Windows tree:
# scripts/check_release.py looks through both for a loopback address.
set(RW_CHECK_URL "https://updates.example.org")
rw_check_vendor_url("${RW_CHECK_URL}" ON OFF)
set(RW_CHECK ${CMAKE_BINARY_DIR}/release-check)
set(RW_CHECK_GEN ${RW_CHECK}/generated)
file(MAKE_DIRECTORY ${RW_CHECK_GEN}/res)

function(rw_write_check_url)
  set(RESTWELL_VENDOR_URL "${RW_CHECK_URL}")
  configure_file(${CMAKE_SOURCE_DIR}/src/core/VendorUrl.h.in ${RW_CHECK_GEN}/core/VendorUrl.h @ONLY)
endfunction()
rw_write_check_url()
# The program's resources, included from a file of the check's own, so that the release's
# string tables (found first on the include path) are taken and tracked.
file(WRITE ${RW_CHECK_GEN}/res/ReleaseCheck.rc "#include \"${RW_RC}\"\n")

set(rw_check_strings ${RW_CHECK_GEN}/res/strings.rc ${RW_CHECK_GEN}/res/languages.rc
                     ${RW_CHECK_GEN}/res/string_ids.h ${RW_CHECK_GEN}/res/strings_table.inc)
add_custom_command(
  OUTPUT ${rw_check_strings}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/gen_strings.py ${CMAKE_SOURCE_DIR}/src/res ${RW_CHECK_GEN}/res
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/gen_strings.py ${RW_TEXT_SOURCES}
  COMMENT "Generating the release's string tables for the release check")
add_custom_target(rw_check_strings DEPENDS ${rw_check_strings})
list(REMOVE_ITEM RW_RC_DEPENDS ${RW_GEN}/res/strings.rc ${RW_GEN}/res/languages.rc)
set_source_files_properties(${RW_CHECK_GEN}/res/ReleaseCheck.rc PROPERTIES OBJECT_DEPENDS
                            "${RW_RC};${RW_RC_DEPENDS};${RW_CHECK_GEN}/res/strings.rc;${RW_CHECK_GEN}/res/languages.rc")

# The vendor address is read by core/VendorSite.cpp alone: compiled here with the check's
# address, its object comes before the libraries, so the linker takes it instead of theirs.
add_executable(restwell_release_check WIN32 EXCLUDE_FROM_ALL ${RW_CHECK_GEN}/res/ReleaseCheck.rc
               ${CMAKE_SOURCE_DIR}/src/app/WinMain.cpp ${CMAKE_SOURCE_DIR}/src/core/VendorSite.cpp)
target_include_directories(restwell_release_check BEFORE PRIVATE ${RW_CHECK_GEN} ${RW_CHECK_GEN}/res)
add_dependencies(restwell_release_check rw_strings rw_check_strings)
target_link_libraries(restwell_release_check PRIVATE restwell_shell)
get_target_property(rw_link_options Restwell LINK_OPTIONS)
target_link_options(restwell_release_check PRIVATE ${rw_link_options})
set_target_properties(restwell_release_check PROPERTIES OUTPUT_NAME Restwell RUNTIME_OUTPUT_DIRECTORY ${RW_CHECK})

add_custom_target(rw_check_site
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/gen_site.py ${CMAKE_SOURCE_DIR}/site ${RW_CHECK}/site
          "${RW_CHECK_URL}"
  COMMENT "Writing site/ for the release check")
add_dependencies(restwell_release_check rw_check_site)
