// Shared set-up of the logic tests: a recording view in place of the window,
// the program state as at start and an empty simulated bus on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "device/hid_link.h"
#include "emu/sim_bus.h"
#include "logic/console_text.h"
#include "logic/view.h"
#include "model/key_table.h"

// Keeps what the logic showed and every call in order, as "name" or "name:argument".
class RecordingView : public View {
public:
    void SetConsoleText(const char* text) override {
        console = text;
        Record("console");
    }
    void SetStatusText(const char* text) override {
        status = text;
        Record("status");
    }
    void EnableDeviceCommands(bool enabled) override {
        deviceCommands = enabled;
        Record(enabled ? "enable" : "disable");
    }
    void ShowLayerButtons(bool shown) override {
        layerButtonsShown = shown;
        Record(shown ? "showLayers" : "hideLayers");
    }
    void CheckLayerButton(int layer) override {
        checkedLayer = layer;
        Record(layer == LAYER_SHIFT ? "check:shift" : "check:normal");
    }
    void RedrawPanel() override {
        std::string texts;
        for (const char* text : g_slotTexts) texts += std::string(text) + "|";
        panels.push_back(texts);
        Record("panel");
    }
    void RedrawRowLabels() override { Record("labels"); }
    void RepaintWindow() override { Record("repaint"); }
    void SetBusy(bool busy) override { Record(busy ? "busy" : "idle"); }
    int32_t RunKeyPicker() override {
        Record("picker");
        return pickedCode;
    }
    FileChoice RunFileDialog(FileDialogKind kind, ChosenFile* file) override {
        Record(kind == FileDialogKind::Open ? "open" : "saveAs");
        dialogStart = *file;
        if (choice == FileChoice::Kept) {
            std::snprintf(file->path, sizeof file->path, "%s", chosenPath.c_str());
            std::snprintf(file->title, sizeof file->title, "%s", chosenTitle.c_str());
        }
        return choice;
    }
    void Quit() override { Record("quit"); }

    std::vector<std::string> calls;
    std::string console;
    std::string status;
    bool deviceCommands = false;
    bool layerButtonsShown = true;
    int checkedLayer = -1;
    std::vector<std::string> panels;  // the slot texts at every redraw, "|" after each

    int32_t pickedCode = 0;  // what the key picker picks
    FileChoice choice = FileChoice::Cancelled;
    std::string chosenPath;
    std::string chosenTitle;
    ChosenFile dialogStart = {};

private:
    void Record(const char* call) { calls.push_back(call); }
};

class LogicTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimReset();
        g_hidLink = HidLink{};
        ClearKeyTable();
        g_currentPath[0] = '\0';
        g_fileTitle[0] = '\0';
        g_statusText[0] = '\0';
        g_connected = 0;
        g_connectedModelId = 0;
        g_labelModelId = 0;
        g_selectedLayer = LAYER_NORMAL;
        for (char* text : g_slotTexts) text[0] = '\0';
        UseLanguage(Language::Korean);
        ClearConsoleText();
    }

    static int AddModule(int model) { return SimAddDevice(SimModule(model)); }

    RecordingView view;
};

// The text that a printf format gives, for comparing with formatted messages.
template <typename... Args>
std::string Formatted(const char* format, Args... args) {
    char text[CONSOLE_TEXT_SIZE];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// A message's format as the Korean console has it.
inline const char* Korean(Message message) {
    return MessageText(message, Language::Korean);
}

// The calls of the recording view, for readable comparisons.
inline std::string Joined(const std::vector<std::string>& calls) {
    std::string text;
    for (const std::string& call : calls) text += (text.empty() ? "" : " ") + call;
    return text;
}
