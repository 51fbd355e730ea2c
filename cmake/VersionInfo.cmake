# The version of every program comes from the top-level project() call; the
# company and copyright from here. rv_version_info() gives a Windows program
# a VERSIONINFO resource of its own (a generated .rc beside its sources), so
# the programs' .rc files stay as they are.
set(RV_COMPANY "Relievo and VelaInstall developers")
set(RV_COPYRIGHT_YEAR 2026)
set(RV_COPYRIGHT "版权所有 (C) ${RV_COPYRIGHT_YEAR} ${RV_COMPANY}")

#   rv_version_info(target PRODUCT name DESCRIPTION text [FILENAME name.exe])
# FILENAME defaults to the target's name with ".exe".
function(rv_version_info target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(RV_VI "" "PRODUCT;DESCRIPTION;FILENAME" "" ${ARGN})
  if(NOT RV_VI_PRODUCT OR NOT RV_VI_DESCRIPTION)
    message(FATAL_ERROR "rv_version_info(${target}): PRODUCT and DESCRIPTION are needed")
  endif()
  if(NOT RV_VI_FILENAME)
    set(RV_VI_FILENAME ${target}.exe)
  endif()
  get_filename_component(RV_VI_INTERNAL ${RV_VI_FILENAME} NAME_WE)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
