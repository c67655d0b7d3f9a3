# Writes the manual page of usbkbdctl with help2man: the tool's --help and
# --version, then each verb's help, then the sections of usbkbdctl.h2m that
# no help text holds; compressed as Debian wants it.
#     cmake -DEXE=usbkbdctl -DINCLUDE=usbkbdctl.h2m -DOUTPUT=usbkbdctl.1.gz -P man_page.cmake
function(help_of verb out)
    execute_process(COMMAND ${EXE} ${verb} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${EXE} ${verb} --help: status ${status}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A help text as lines of roff that are shown as they are.
function(roff_lines text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "\n$" "" text "${text}")
    string(REPLACE "\n" "\n\\&" text "${text}")
    set(${out} ".nf\n\\&${text}\n.fi\n" PARENT_SCOPE)
endfunction()

help_of("" help)
string(REGEX MATCH "^usbkbdctl: ([^\n]*)\\.\n" first_line "${help}")
set(name "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "\n  [a-z]+ " verb_lines "${help}")
if(name STREQUAL "" OR NOT verb_lines)
    message(FATAL_ERROR "usbkbdctl --help has no first line or no verbs:\n${help}")
endif()

get_filename_component(folder ${OUTPUT} DIRECTORY)
set(verbs_include ${folder}/usbkbdctl-verbs.h2m)
set(verbs "[VERBS]\n")
foreach(line ${verb_lines})
    string(STRIP "${line}" verb)
    help_of(${verb} text)
    roff_lines("${text}" lines)
    string(APPEND verbs ".SS ${verb}\n${lines}")
endforeach()
file(WRITE ${verbs_include} "${verbs}")

string(REGEX REPLACE "\\.gz$" "" page ${OUTPUT})
execute_process(COMMAND help2man --no-info --no-discard-stderr --locale=C.UTF-8 --section=1
                        "--name=${name}"
                        --include=${INCLUDE} --include=${verbs_include} --output=${page} ${EXE}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed: ${status}")
endif()
execute_process(COMMAND gzip -9nf ${page} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${page}: ${status}")
endif()
