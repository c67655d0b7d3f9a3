// The page as the view of the logic: every call goes to the page's script.
#pragma once

#include "logic/view.h"

class WebView : public View {
public:
    void SetConsoleText(const char* text) override;
    void SetStatusText(const char* text) override;
    void EnableDeviceCommands(bool enabled) override;
    void ShowLayerButtons(bool shown) override;
    void CheckLayerButton(int layer) override;
    void RedrawPanel() override;
    void RedrawRowLabels() override;
    void RepaintWindow() override;
    void SetBusy(bool busy) override;
    int32_t RunKeyPicker() override;
    FileChoice RunFileDialog(FileDialogKind kind, ChosenFile* file) override;
    void Quit() override;
};

WebView& PageView();
