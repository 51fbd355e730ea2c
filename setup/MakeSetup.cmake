# Makes RelievoSetup.exe (run with cmake -P): stages the description, the
# licence, the pictures, the programs, the help, the tiles and the samples in
# one folder as the description names them, then runs velapack there.
#   -DVELAPACK= -DSTUB= -DSOURCE=setup folder -DROOT=project folder
#   -DPROGRAM=Relievo.exe -DUNINSTALLER=VelaUnInsApp.exe -DHELP=readme.chm
#   -DSTAGE=staging folder -DOUT=RelievoSetup.exe
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/bin ${STAGE}/res)
file(COPY ${SOURCE}/licence.txt DESTINATION ${STAGE})
file(COPY ${SOURCE}/res/welcome.bmp ${SOURCE}/res/splash.bmp DESTINATION ${STAGE}/res)
file(COPY ${ROOT}/back ${ROOT}/sample DESTINATION ${STAGE})
file(COPY ${PROGRAM} ${UNINSTALLER} DESTINATION ${STAGE}/bin)

# The description as it stands, or without the help when there is none.
file(READ ${SOURCE}/RelievoSetup.txt description)
if(EXISTS ${HELP})
  file(COPY ${HELP} DESTINATION ${STAGE}/bin)
else()
  message(WARNING "${HELP} is missing: RelievoSetup.exe is made without the help")
  string(REGEX REPLACE "[^\n]*readme\\.chm[^\n]*\n" "" description "${description}")
endif()
file(WRITE ${STAGE}/RelievoSetup.txt "${description}")

execute_process(COMMAND ${VELAPACK} RelievoSetup.txt --stub ${STUB} -o ${OUT}
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "velapack could not make ${OUT}")
endif()
