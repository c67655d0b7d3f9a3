# The release zip as a user gets it: made, then unpacked into a fresh folder;
# it holds exactly the release's files, its exes are the build's byte for
# byte and so is the browser page, its README names every file, and the demo
# run from the unpacked folder under Wine passes the demo's end-to-end tests.
# -DAPP= -DDEMO= -DCTL= -DPAGE= -DVERSION= -DMAKE_RELEASE= -DE2E= -DRUNNER= -DWORK=
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${MAKE_RELEASE} --app ${APP} --demo ${DEMO} --ctl ${CTL} --page ${PAGE}
                        --version ${VERSION} --output-dir ${WORK} --zip
                RESULT_VARIABLE status)
set(zip ${WORK}/usbkbd-${VERSION}-win64.zip)
if(NOT status STREQUAL "0" OR NOT EXISTS ${zip})
    message(FATAL_ERROR "no zip made: ${status}")
endif()

set(unpacked ${WORK}/unpacked)
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${unpacked}
                RESULT_VARIABLE status)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "${zip} does not unpack: ${status}")
endif()

set(folder ${unpacked}/usbkbd-${VERSION})
file(GLOB_RECURSE files RELATIVE ${unpacked} ${unpacked}/*)
list(SORT files)
set(expected
    usbkbd-${VERSION}/README.txt
    usbkbd-${VERSION}/examples/arcade-buttons.kbd
    usbkbd-${VERSION}/examples/copy-paste-pedal.kbd
    usbkbd-${VERSION}/examples/function-keys.kbd
    usbkbd-${VERSION}/usbkbd-demo.exe
    usbkbd-${VERSION}/usbkbd.exe
    usbkbd-${VERSION}/usbkbd.html
    usbkbd-${VERSION}/usbkbdctl.exe)
if(NOT files STREQUAL expected)
    message(FATAL_ERROR "the zip holds\n${files}\ninstead of\n${expected}")
endif()

foreach(built ${APP} ${DEMO} ${CTL} ${PAGE})
    get_filename_component(name ${built} NAME)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${built} ${folder}/${name}
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${name} in the zip is not the build's ${built}")
    endif()
endforeach()

file(READ ${folder}/README.txt readme)
foreach(file ${files})
    get_filename_component(name ${file} NAME)
    if(NOT name STREQUAL "README.txt")
        string(FIND "${readme}" "${name}" at)
        if(at LESS 0)
            message(FATAL_ERROR "README.txt does not name ${name}")
        endif()
    endif()
endforeach()
string(FIND "${readme}" "@" at)
# file(READ) drops carriage returns: the line ends are looked at byte by byte.
file(READ ${folder}/README.txt bytes HEX)
string(REGEX REPLACE "(..)" " \\1" bytes "${bytes}")
string(REPLACE " 0d 0a" "" bytes "${bytes}")
string(FIND "${bytes}" " 0a" bare_line_feed)
if(NOT at LESS 0 OR NOT bare_line_feed LESS 0)
    message(FATAL_ERROR "README.txt: an unfilled @ or a line without CR LF")
endif()

# Under Wine the unpacked folder is seen through drive Z:.
string(REPLACE "/" "\\" demo "Z:${folder}/usbkbd-demo.exe")
execute_process(COMMAND ${CMAKE_COMMAND} -E env USBKBD_E2E_DEMO_EXE=${demo}
                        ${RUNNER} ${E2E} --gtest_filter=DemoProgram.*
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(FIND "${out}" "the demo under test: ${demo}" at)
if(NOT status STREQUAL "0" OR at LESS 0)
    message(FATAL_ERROR "the unpacked demo fails the demo's tests (${status}):\n${out}")
endif()
message(STATUS "${out}")
