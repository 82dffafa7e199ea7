// SPDX-License-Identifier: GPL-3.0-or-later
// The program's entry on Windows.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
