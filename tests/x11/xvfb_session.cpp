#include "tests/x11/xvfb_session.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/test_data.h"

namespace {

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string TempPath(const char* stem) {
    static int counter = 0;
    return "/tmp/vernaskel-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + "-" + stem;
}

}  // namespace

bool StartXvfb(int width, int height, XvfbSession* session) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        close(fds[0]);
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        const std::string fd = std::to_string(fds[1]);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the display number it chose once it is ready for clients.
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return false;
    }
    session->serverPid = pid;
    session->display = ":" + number;
    session->width = width;
    session->height = height;
    return true;
}

void StopXvfb(XvfbSession* session) {
    if (session->windowManagerPid > 0) {
        kill(session->windowManagerPid, SIGTERM);
        waitpid(session->windowManagerPid, nullptr, 0);
        session->windowManagerPid = -1;
    }
    if (session->serverPid <= 0) return;
    kill(session->serverPid, SIGTERM);
    waitpid(session->serverPid, nullptr, 0);
    session->serverPid = -1;
}

bool StartWindowManager(XvfbSession* session) {
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        setenv("DISPLAY", session->display.c_str(), 1);
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execlp("openbox", "openbox", static_cast<char*>(nullptr));
        _exit(127);
    }
    session->windowManagerPid = pid;
    // A window manager that follows the desktop conventions announces itself
    // on the root window once it is running.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string output;
        RunInSession(*session, "xprop -root _NET_SUPPORTING_WM_CHECK", &output);
        if (output.find("window id") != std::string::npos) return true;
        if (waitpid(pid, nullptr, WNOHANG) == pid) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

int RunInSession(const XvfbSession& session, const std::string& command, std::string* output) {
    const std::string full = "DISPLAY=" + session.display + " " + command;
    FILE* pipe = popen(full.c_str(), "r");
    if (pipe == nullptr) return -1;
    std::string text;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    const int status = pclose(pipe);
    if (output != nullptr) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

RunningProgram StartProgramIn(const std::string& display, const std::string& binary, const std::string& workDir,
                              const std::vector<std::string>& arguments) {
    RunningProgram program;
    program.stderrPath = TempPath("stderr");
    // The program keeps where the rules were left in the user's
    // configuration folder when it ends: here in a folder of the tests' own
    // (or, failing that, where nothing can be made).
    static const std::string configHome = MakeDataDirectory({});
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", configHome.empty() ? "/dev/null" : configHome.c_str(), 1);
        if (display.empty()) {
            unsetenv("DISPLAY");
        } else {
            setenv("DISPLAY", display.c_str(), 1);
        }
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        if (chdir(workDir.c_str()) != 0) _exit(126);
        const int err = open(program.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) dup2(err, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(binary.c_str())};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(binary.c_str(), argv.data());
        _exit(127);
    }
    program.pid = pid;
    return program;
}

int WaitForExit(RunningProgram* program, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(program->pid, &status, WNOHANG);
        if (done == program->pid) {
            program->pid = -1;
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(program->pid, SIGKILL);
    waitpid(program->pid, nullptr, 0);
    program->pid = -1;
    return -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

unsigned long FindWindowByTitle(const XvfbSession& session, const std::string& title, double seconds) {
    // Asked again until the deadline: a search can end early with nothing
    // when another window goes away while it looks.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    const std::string command = "xdotool search --name " + Quote("^" + title + "$") + " 2>/dev/null | head -n 1";
    do {
        std::string output;
        RunInSession(session, command, &output);
        const unsigned long window = std::strtoul(output.c_str(), nullptr, 10);
        if (window != 0) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return 0;
}

bool GetWindowGeometry(const XvfbSession& session, unsigned long window, WindowGeometry* geometry) {
    std::string output;
    if (RunInSession(session, "xdotool getwindowgeometry --shell " + std::to_string(window), &output) != 0) {
        return false;
    }
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") geometry->x = value;
        if (key == "Y") geometry->y = value;
        if (key == "WIDTH") geometry->width = value;
        if (key == "HEIGHT") geometry->height = value;
    }
    return true;
}

bool GetManagedGeometry(const XvfbSession& session, unsigned long window, ManagedGeometry* geometry) {
    std::string info;
    if (RunInSession(session, "xwininfo -id " + std::to_string(window), &info) != 0) return false;
    std::istringstream lines(info);
    std::string line;
    auto valueAfter = [&](const char* label, int* value) {
        const size_t at = line.find(label);
        if (at != std::string::npos) *value = std::atoi(line.c_str() + at + std::strlen(label));
    };
    while (std::getline(lines, line)) {
        valueAfter("Absolute upper-left X:", &geometry->x);
        valueAfter("Absolute upper-left Y:", &geometry->y);
        valueAfter("Width:", &geometry->width);
        valueAfter("Height:", &geometry->height);
    }
    std::string extents;
    RunInSession(session, "xprop -id " + std::to_string(window) + " _NET_FRAME_EXTENTS", &extents);
    const size_t equals = extents.find('=');
    if (equals != std::string::npos) {
        std::sscanf(extents.c_str() + equals + 1, " %d, %d, %d, %d", &geometry->frameLeft, &geometry->frameRight,
                    &geometry->frameTop, &geometry->frameBottom);
    }
    return geometry->width > 0;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

bool RequestWindowClose(const XvfbSession& session, unsigned long window) {
    Display* display = XOpenDisplay(session.display.c_str());
    if (display == nullptr) return false;
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return sent != 0;
}

bool TakeScreenshot(const XvfbSession& session, Screenshot* shot) {
    const std::string path = TempPath("shot.ppm");
    if (RunInSession(session, "import -window root -depth 8 ppm:" + Quote(path)) != 0) return false;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> shot->width >> shot->height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255 || shot->width <= 0 || shot->height <= 0) return false;
    shot->rgb.resize(static_cast<size_t>(shot->width) * shot->height * 3);
    in.read(reinterpret_cast<char*>(shot->rgb.data()), static_cast<std::streamsize>(shot->rgb.size()));
    std::remove(path.c_str());
    return static_cast<size_t>(in.gcount()) == shot->rgb.size();
}
