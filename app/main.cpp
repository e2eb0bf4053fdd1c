#include "app/app_window.h"

int main() { return WinMain(); }
