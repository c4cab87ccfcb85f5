#include <windows.h>

#include "shell/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return quillet::shell::RunQuillet(instance);
}
