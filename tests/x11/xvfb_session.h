// A private X server (Xvfb) and the tools that drive the real program in it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct XvfbSession {
    pid_t serverPid = -1;
    pid_t windowManagerPid = -1;
    std::string display;  // ":N"
    int width = 0;
    int height = 0;
};

// Starts Xvfb on a free display with one screen of the given size.
bool StartXvfb(int width, int height, XvfbSession* session);
// Stops the window manager, if one was started, and the server.
void StopXvfb(XvfbSession* session);
// Starts openbox on the session's display and waits until it manages windows.
bool StartWindowManager(XvfbSession* session);

// Runs a shell command with DISPLAY set to the session's; returns its exit
// status and, if asked, what it printed on standard output.
int RunInSession(const XvfbSession& session, const std::string& command, std::string* output = nullptr);

struct RunningProgram {
    pid_t pid = -1;
    std::string stderrPath;
};

// Starts a program with the given DISPLAY (empty: none at all) in `workDir`,
// with the given arguments.
RunningProgram StartProgramIn(const std::string& display, const std::string& binary, const std::string& workDir,
                              const std::vector<std::string>& arguments = {});
// Waits up to `seconds` for the program to end; returns its exit status, or
// -1 if it is still running (then it is killed).
int WaitForExit(RunningProgram* program, double seconds);
std::string ReadFile(const std::string& path);

// Finds the window with this exact title, waiting up to `seconds`; 0 if none.
unsigned long FindWindowByTitle(const XvfbSession& session, const std::string& title, double seconds);

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};
bool GetWindowGeometry(const XvfbSession& session, unsigned long window, WindowGeometry* geometry);

// A managed window's client area on the screen and the frame around it, as
// the window manager reports it (zeros when it reports none).
struct ManagedGeometry {
    int x = 0, y = 0, width = 0, height = 0;
    int frameLeft = 0, frameRight = 0, frameTop = 0, frameBottom = 0;
};
bool GetManagedGeometry(const XvfbSession& session, unsigned long window, ManagedGeometry* geometry);

// Resident memory of a process in kB; 0 when it cannot be read.
long ResidentKb(pid_t pid);

// Asks the window to close, as a window manager's close box does.
bool RequestWindowClose(const XvfbSession& session, unsigned long window);

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first
    const unsigned char* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};
// Takes a picture of the whole screen with ImageMagick's import.
bool TakeScreenshot(const XvfbSession& session, Screenshot* shot);
