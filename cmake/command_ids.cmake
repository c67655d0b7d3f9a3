# The ids of the main window's commands for what cannot include the C++
# headers (the resource compiler, the browser page). Each function sets, in
# the caller's scope, a list of names and each name to its id.

# Lines of file that match pattern, whose first group is a name and whose
# second is its id: the names into the list out, each name to its id.
function(usbkbd_read_ids file pattern out)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(STRINGS ${file} lines REGEX "${pattern}")
    set(names)
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "${pattern}.*" "\\1" name "${line}")
        string(REGEX REPLACE "${pattern}.*" "\\2" id "${line}")
        list(APPEND names ${name})
        set(${name} ${id} PARENT_SCOPE)
    endforeach()
    set(${out} ${names} PARENT_SCOPE)
endfunction()

# usbkbd_command_names: the commands of logic/command_list.inc.
macro(usbkbd_read_command_ids)
    usbkbd_read_ids(${PROJECT_SOURCE_DIR}/logic/command_list.inc
                    "^COMMAND\\(([A-Z_]+), ([0-9]+)," usbkbd_command_names)
endmacro()

# usbkbd_slot_button_names: ID_CHANGE_FIRST and ID_CLEAR_FIRST, the ids of
# slot 1's "Change" and "x" buttons, of logic/command_ids.h.
macro(usbkbd_read_slot_button_ids)
    usbkbd_read_ids(${PROJECT_SOURCE_DIR}/logic/command_ids.h
                    "^constexpr int (ID_[A-Z_]+_FIRST) = ([0-9]+);" usbkbd_slot_button_names)
endmacro()
