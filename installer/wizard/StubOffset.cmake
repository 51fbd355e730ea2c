# Build steps of the installer stub (run with cmake -P).
#  MODE=generate: STUB is the stub linked with offset 0; writes OUT, the
#    offset source, with the stub's size rounded up to BLOCK bytes (rewritten
#    only when the figure changes).
#  MODE=pad: STUB is the stub linked with the generated offset; fails when it
#    is larger than that offset, otherwise copies it to OUT padded with zero
#    bytes to exactly the offset, and writes the figures of the build into
#    OUT's name with "-size.txt" in place of its extension (the one place
#    they are kept).
cmake_minimum_required(VERSION 3.20)

function(read_offset source result)
  file(STRINGS "${source}" line REGEX "VelaPackageOfs=\", [0-9]+}")
  string(REGEX REPLACE ".*\", ([0-9]+)}.*" "\\1" value "${line}")
  if(NOT value MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No package offset in ${source}")
  endif()
  set(${result} ${value} PARENT_SCOPE)
endfunction()

file(SIZE "${STUB}" size)
if(MODE STREQUAL "generate")
  math(EXPR STUB_OFFSET "(${size} + ${BLOCK} - 1) / ${BLOCK} * ${BLOCK}")
  configure_file("${TEMPLATE}" "${OUT}.new" @ONLY)
  file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
  file(REMOVE "${OUT}.new")
elseif(MODE STREQUAL "pad")
  get_filename_component(out_dir "${OUT}" DIRECTORY)
  get_filename_component(out_stem "${OUT}" NAME_WE)
  get_filename_component(out_name "${OUT}" NAME)
  set(figures "${out_dir}/${out_stem}-size.txt")
  file(REMOVE "${OUT}" "${figures}")  # never leave an earlier stub or its figures behind a failed step
  read_offset("${OFFSET_SOURCE}" offset)
  if(size GREATER offset)
    message(FATAL_ERROR "The stub is ${size} bytes, larger than its package offset ${offset}")
  endif()
  # objcopy reads the stub as raw bytes and pads the copy with zero bytes.
  execute_process(COMMAND "${OBJCOPY}" -I binary -O binary --pad-to=${offset} "${STUB}" "${OUT}"
                  RESULT_VARIABLE failed)
  file(SIZE "${OUT}" padded)
  if(failed OR NOT padded EQUAL offset)
    file(REMOVE "${OUT}")
    message(FATAL_ERROR "Padding the stub to ${offset} bytes failed (${padded} bytes)")
  endif()
  file(CHMOD "${OUT}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(line "${out_name}: ${offset} bytes, which is its package offset (${size} bytes linked, padded with zeros)")
  file(WRITE "${figures}" "${line}\n")
  message(STATUS "${line}")
else()
  message(FATAL_ERROR "MODE must be generate or pad")
endif()
