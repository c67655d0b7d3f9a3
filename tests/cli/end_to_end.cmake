# Runs the built usbkbdctl once end to end on a bus file in a folder of its
# own: set, write with verify, read -o and reset, each checked by its whole
# output and the files it leaves. -DEXE=path -DWORK=folder
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/bus.txt "device 10F7:0209\nfirmware 12\ndevice 046D:C077\n")
set(path "\\\\?\\hid#vid_10f7&pid_0209#demo0")

function(expect_run expected_status expected_out)
    execute_process(COMMAND ${EXE} ${ARGN} WORKING_DIRECTORY ${WORK}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status STREQUAL expected_status OR NOT out STREQUAL expected_out OR NOT err STREQUAL "")
        message(FATAL_ERROR "usbkbdctl ${ARGN}: status ${status}, expected ${expected_status}\n"
                            "out:\n${out}\nexpected:\n${expected_out}\nerr:\n${err}")
    endif()
endfunction()

# Compared as hexadecimal bytes, since file(READ) of a text drops its CRs.
function(expect_file name expected)
    file(READ ${WORK}/${name} content HEX)
    string(HEX "${expected}" expected_hex)
    if(NOT content STREQUAL expected_hex)
        message(FATAL_ERROR "${name}:\n${content}\nexpected:\n${expected_hex}")
    endif()
endfunction()

# A Korean key name and file name, in UTF-8 as a terminal gives them.
expect_run(0 "한자.kbd: slot shift:3 = 0091  <한자>\n" set 한자.kbd shift:3 한자)
expect_run(0 "QX209  ${path}  written and verified\n" --sim bus.txt write 한자.kbd)
expect_run(0 "QX209  firmware 1.2  ${path}
slot label        normal layer                          shift layer
1    Pin No.  2   0000                                  0000
2    Pin No.  3   0000                                  0000
3    Pin No.  4   0000                                  0091 <한자>
4    Pin No.  5   0000                                  0000
5    Pin No.  6   0000                                  0000
6    Pin No.  7   0000                                  0000
7    Pin No.  8   0000                                  0000
8    Pin No.  9   0000                                  0000
" --sim bus.txt read -o back.kbd)
set(table "0000 0000 0000 0000 0000 0000 0000 0000\r\n0000 0000 0091 0000 0000 0000 0000 0000\r\n")
expect_file(back.kbd "${table}")
expect_file(한자.kbd "${table}")
expect_run(0 "QX209  ${path}  left change mode\n" --sim bus.txt reset)
expect_file(bus.txt "device 10F7:0209\nfirmware 12\nmode keyboard\nkeys 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0091 0000 0000 0000 0000 0000\ndevice 046D:C077\n")
