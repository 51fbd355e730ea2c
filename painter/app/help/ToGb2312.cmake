# Copies the help's sources into the compile folder as GB2312: the HTML Help
# viewer reads the contents and the index in the code page of the help's
# language (Chinese, PRC), and the pages say which character set they use.
#   cmake -DSOURCE=dir -DSTAGE=dir -DICONV=path "-DFILES=a;b;..." -P ToGb2312.cmake
# A character GB2312 cannot hold stops the build with the file's name.
file(MAKE_DIRECTORY ${STAGE})
foreach(name IN LISTS FILES)
  file(READ ${SOURCE}/${name} text)
  string(REPLACE "charset=utf-8" "charset=gb2312" text "${text}")
  file(WRITE ${STAGE}/${name}.utf8 "${text}")
  execute_process(COMMAND ${ICONV} -f UTF-8 -t GB2312 ${STAGE}/${name}.utf8
                  OUTPUT_FILE ${STAGE}/${name} RESULT_VARIABLE failed ERROR_VARIABLE why)
  file(REMOVE ${STAGE}/${name}.utf8)
  if(failed)
    message(FATAL_ERROR "help: ${name} has text that GB2312 cannot hold: ${why}")
  endif()
endforeach()
