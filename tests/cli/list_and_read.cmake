# usbkbdctl list and read on a bus file, the program run through RUNNER
# (Wine for the Windows build); each checked by its whole output.
# -DEXE=path -DRUNNER=program-or-empty -DWORK=folder
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/bus.txt
     "device 10F7:0206\nfirmware 1A\nkeys 0106 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0091\n")
set(path "\\\\?\\hid#vid_10f7&pid_0206#demo0")

function(expect_run expected_out)
    execute_process(COMMAND ${RUNNER} ${EXE} --sim bus.txt ${ARGN} WORKING_DIRECTORY ${WORK}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status STREQUAL "0" OR NOT out STREQUAL expected_out)
        message(FATAL_ERROR "usbkbdctl ${ARGN}: status ${status}\nout:\n${out}\n"
                            "expected:\n${expected_out}\nerr:\n${err}")
    endif()
endfunction()

expect_run("QX206  firmware 1.10  ${path}\n" list)
expect_run("QX206  firmware 1.10  ${path}
slot label        normal layer                          shift layer
1    > Black      0106 <Ctrl><C>                        0000
2    > Red        0000                                  0000
3    > Yellow     0000                                  0000
4    > Green      0000                                  0000
5    > Blue       0000                                  0000
6    > White      0000                                  0000
7       Not Use   0000                                  0000
8       Not Use   0000                                  0091 <한자>
" read)
