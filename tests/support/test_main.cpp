// Test programs start like our programs do: Japanese locale, common controls.
#include <windows.h>
#include <commctrl.h>

#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setlocale(LC_ALL, "japanese");
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT));
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
