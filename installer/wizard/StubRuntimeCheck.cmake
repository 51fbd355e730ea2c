# Fails when the stub's linker map (MAP) shows that the stub pulled in the C++
# runtime's exception machinery, its string implementations, its run-time type
# classes (a vtable of a class compiled with type information brings them),
# the unwinder, the threads library or the C library's formatted print. One
# guarded static or std::to_string anywhere in its path brings tens of
# kilobytes of them back.
# The MinGW start-up files and what they need (pseudo relocations, thread-local
# storage callbacks, section lookups) stay out too: installer/wizard/SmallStart.cpp
# is the entry point.
cmake_minimum_required(VERSION 3.20)
file(STRINGS "${MAP}" members REGEX "^[^ ].*\\.a\\([^)]*\\)$")
if(NOT members)
  message(FATAL_ERROR "No archive members listed in ${MAP}")
endif()
set(unwanted "libstdc\\+\\+\\.a\\((eh_personality|eh_throw|functexcept|guard|cow-string-inst|string-inst|cow-stdexcept)\\.o\\)"
             "libgcc_eh\\.a\\(" "libpthread\\.a\\(" "libwinpthread" "mingw_pformat"
             "libmingw32\\.a\\([^)]*(pseudo-reloc|tlssup|tlsthrd|pesect|gccmain|crt_handler)\\.o\\)"
             "libstdc\\+\\+\\.a\\(pure\\.o\\)"
             "libstdc\\+\\+\\.a\\((class_type_info|si_class_type_info|vmi_class_type_info|tinfo)\\.o\\)")
set(found "")
foreach(member ${members})
  foreach(pattern ${unwanted})
    if(member MATCHES "${pattern}")
      list(APPEND found "${member}")
    endif()
  endforeach()
endforeach()
file(STRINGS "${MAP}" start_files REGEX "/crt2\\.o|/crtbegin\\.o")
if(start_files)
  list(APPEND found "the MinGW start-up files")
endif()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "The stub links runtime parts it must not (see ${MAP} for who asks for them):\n  ${text}")
endif()
list(LENGTH members count)
message(STATUS "${count} archive members, none of the unwanted runtime")
