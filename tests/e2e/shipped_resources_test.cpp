// What Explorer and the loader read from the shipped exes: the version
// resource of Properties > Details and the application manifest.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Exe {
    const wchar_t* path;
    const char* name;
    const wchar_t* description;
};

const Exe EXES[] = {
    {USBKBD_EXE, "usbkbd", L"USB Keyboard Module set-up tool"},
    {USBKBD_DEMO_EXE, "usbkbd-demo", L"USB Keyboard Module set-up tool, with a simulated module"},
    {USBKBDCTL_EXE, "usbkbdctl", L"USB Keyboard Module command-line tool"},
};

// Names the exe in the test's log.
void PrintTo(const Exe& exe, std::ostream* out) {
    *out << exe.name;
}

class ShippedExe : public testing::TestWithParam<Exe> {};

std::vector<char> VersionInfoOf(const wchar_t* path) {
    DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    std::vector<char> info(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, info.data())) info.clear();
    return info;
}

// A string of the Korean, Unicode block; "<none>" when there is none.
std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
    std::wstring key = std::wstring(L"\\StringFileInfo\\041204B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), key.c_str(), &value, &length) || length == 0) return L"<none>";
    return static_cast<const wchar_t*>(value);
}

std::wstring Widened(const char* text) {
    return std::wstring(text, text + strlen(text));
}

// The manifest the loader reads (resource 1 of type RT_MANIFEST).
std::string ManifestOf(const wchar_t* path) {
    HMODULE exe = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (exe == nullptr) return "<exe not loaded>";
    std::string manifest = "<no manifest>";
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    HGLOBAL loaded = found ? LoadResource(exe, found) : nullptr;
    if (loaded != nullptr) {
        manifest.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(exe, found));
    }
    FreeLibrary(exe);
    return manifest;
}

TEST_P(ShippedExe, NamesItselfAndItsVersionInItsVersionResource) {
    const Exe& exe = GetParam();
    std::vector<char> info = VersionInfoOf(exe.path);
    ASSERT_FALSE(info.empty());
    EXPECT_EQ(VersionString(info, L"FileDescription"), exe.description);
    EXPECT_EQ(VersionString(info, L"ProductName"), L"USB Keyboard Module");
    EXPECT_EQ(VersionString(info, L"CompanyName"), L"usbkbd");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), Widened(exe.name) + L".exe");
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"" USBKBD_VERSION_TEXT);
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"" USBKBD_VERSION_TEXT);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1u);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 2u);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_P(ShippedExe, ManifestAsksForTheSystemsLookAndNoElevation) {
    std::string manifest = ManifestOf(GetParam().path);
    for (const char* part : {
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
             "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // 7
             "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // 8
             "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // 8.1
             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // 10 and 11
             "<gdiScaling xmlns=\"http://schemas.microsoft.com/SMI/2017/WindowsSettings\">true"
             "</gdiScaling>",
         }) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part << "\nin\n" << manifest;
    }
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos) << "the window keeps its pixel layout";
}

// The test names' part for each exe, in the order of EXES.
std::string ExeTestName(const testing::TestParamInfo<Exe>& info) {
    const char* const names[] = {"Program", "Demo", "CommandLineTool"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Exes, ShippedExe, testing::ValuesIn(EXES), ExeTestName);

}  // namespace
