# Fails when the stub's linker map (MAP) shows that the stub pulled in the C++
# runtime's exception machinery, its string implementations, the unwinder, the
# threads library or the C library's formatted print. One guarded static or
# std::to_string anywhere in its path brings tens of kilobytes of them back.
cmake_minimum_required(VERSION 3.20)
file(STRINGS "${MAP}" members REGEX "^[^ ].*\\.a\\([^)]*\\)$")
if(NOT members)
  message(FATAL_ERROR "No archive members listed in ${MAP}")
endif()
set(unwanted "libstdc\\+\\+\\.a\\((eh_personality|eh_throw|functexcept|guard|cow-string-inst|string-inst|cow-stdexcept)\\.o\\)"
             "libgcc_eh\\.a\\(" "libpthread\\.a\\(" "libwinpthread" "mingw_pformat")
set(found "")
foreach(member ${members})
  foreach(pattern ${unwanted})
    if(member MATCHES "${pattern}")
      list(APPEND found "${member}")
    endif()
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "The stub links runtime parts it must not (see ${MAP} for who asks for them):\n  ${text}")
endif()
list(LENGTH members count)
message(STATUS "${count} archive members, none of the unwanted runtime")
