# The exes ship stripped; the symbols stay beside each, in X.exe.debug, which
# the exe names (.gnu_debuglink) so that a debugger finds them.
find_program(USBKBD_OBJCOPY NAMES x86_64-w64-mingw32-objcopy objcopy)

function(usbkbd_ship_stripped program)
    if(NOT MINGW OR NOT USBKBD_OBJCOPY)
        return()
    endif()
    add_custom_command(TARGET ${program} POST_BUILD
        COMMAND ${USBKBD_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${program}>
                $<TARGET_FILE_NAME:${program}>.debug
        COMMAND ${USBKBD_OBJCOPY} --strip-all
                --add-gnu-debuglink=$<TARGET_FILE_NAME:${program}>.debug
                $<TARGET_FILE_NAME:${program}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${program}>
        VERBATIM)
endfunction()
