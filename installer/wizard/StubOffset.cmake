# The last build step of the installer stub (run with cmake -P): STUB is the
# linked stub, OFFSET its package offset. Fails when the stub is larger than
# the offset; otherwise copies it to OUT padded with zero bytes to exactly the
# offset, and writes the figures of the build into OUT's name with
# "-size.txt" in place of its extension (the one place they are kept).
cmake_minimum_required(VERSION 3.20)

if(NOT OFFSET MATCHES "^[0-9]+$")
  message(FATAL_ERROR "OFFSET must be the package offset in bytes")
endif()
file(SIZE "${STUB}" size)
get_filename_component(out_dir "${OUT}" DIRECTORY)
get_filename_component(out_stem "${OUT}" NAME_WE)
get_filename_component(out_name "${OUT}" NAME)
set(figures "${out_dir}/${out_stem}-size.txt")
file(REMOVE "${OUT}" "${figures}")  # never leave an earlier stub or its figures behind a failed step
if(size GREATER OFFSET)
  math(EXPR over "${size} - ${OFFSET}")
  message(FATAL_ERROR "${out_name}: the linked stub is ${size} bytes, larger than its package offset "
                      "${OFFSET} by ${over} bytes (${STUB})")
endif()
# objcopy reads the stub as raw bytes and pads the copy with zero bytes.
execute_process(COMMAND "${OBJCOPY}" -I binary -O binary --pad-to=${OFFSET} "${STUB}" "${OUT}"
                RESULT_VARIABLE failed)
file(SIZE "${OUT}" padded)
if(failed OR NOT padded EQUAL OFFSET)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "Padding the stub to ${OFFSET} bytes failed (${padded} bytes)")
endif()
file(CHMOD "${OUT}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(line "${out_name}: ${OFFSET} bytes, which is its package offset (${size} bytes linked, padded with zeros)")
file(WRITE "${figures}" "${line}\n")
message(STATUS "${line}")
