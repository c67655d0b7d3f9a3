// The key picker's decisions: which modifiers are held, what OK does and
// what a click on a key picks. The dialog shows and hides its controls as
// these say and ends with the key code word they pick.
#pragma once

#include <cstddef>
#include <cstdint>

// The ids of the picker's OK and Cancel buttons (Esc and the close box
// arrive as Cancel).
constexpr int PICKER_OK = 1;
constexpr int PICKER_CANCEL = 2;

// Room for a caption of at most 13 bytes and its terminator.
constexpr size_t CAPTION_SIZE = 14;

class KeyPickerView {
public:
    virtual ~KeyPickerView() = default;

    virtual void ShowKey(int id, bool shown) = 0;
    // The caption of the key as code page 949 bytes, at most size - 1 of them.
    virtual void CaptionOf(int id, char* caption, size_t size) = 0;
    // Ends the dialog with the key code word picked; 0 when nothing was.
    virtual void EndPick(int32_t code) = 0;
};

// At opening: no modifier held, every twin hidden.
void OpenKeyPicker(KeyPickerView& view);

// A click on the control with this id: a modifier, a key, OK or Cancel.
void ClickPickerControl(KeyPickerView& view, int id);
