# Puts the Windows release together: the three exes, the browser page, the
# users' README and the example key tables in a folder usbkbd-VERSION, zipped
# as OUTPUT_DIR/usbkbd-VERSION-win64.zip.
#
#     cmake -DAPP=usbkbd.exe -DDEMO=usbkbd-demo.exe -DCTL=usbkbdctl.exe
#           -DPAGE=usbkbd.html -DVERSION=1.2.1 -DOUTPUT_DIR=folder -P make_zip.cmake
set(name usbkbd-${VERSION})
set(stage ${OUTPUT_DIR}/stage)
set(zip ${OUTPUT_DIR}/${name}-win64.zip)

if(NOT EXISTS "${PAGE}")
    message(FATAL_ERROR "no browser page \"${PAGE}\": scripts/web.sh builds it")
endif()
file(REMOVE_RECURSE ${stage}/${name})
file(REMOVE ${zip})
file(MAKE_DIRECTORY ${stage}/${name}/examples)
file(COPY ${APP} ${DEMO} ${CTL} ${PAGE} DESTINATION ${stage}/${name})
file(GLOB examples ${CMAKE_CURRENT_LIST_DIR}/examples/*.kbd)
file(COPY ${examples} DESTINATION ${stage}/${name}/examples)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt ${stage}/${name}/README.txt @ONLY
               NEWLINE_STYLE CRLF)

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${name}
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "could not write ${zip}")
endif()
file(REMOVE_RECURSE ${stage})
message(STATUS "${zip}")
