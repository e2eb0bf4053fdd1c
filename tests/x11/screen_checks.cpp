#include "tests/x11/screen_checks.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

unsigned long FindMessageBox(const XvfbSession& session, const std::string& title, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        std::string tree;
        RunInSession(session, "xwininfo -root -tree", &tree);
        std::istringstream lines(tree);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.find(" \"" + title + "\": ") == std::string::npos) continue;
            return std::strtoul(line.c_str(), nullptr, 16);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

double ProjectX(double x, double z, int clientWidth) { return (x * 0.0058 / (0.004 * z) + 1.0) * 0.5 * clientWidth; }
double ProjectY(double y, double z, int clientHeight) {
    return (1.0 - y * 0.0058 / (0.0033 * z)) * 0.5 * clientHeight;
}

DefaultRuleCount CountDefaultRulePixels(const Screenshot& shot, const WindowGeometry* client) {
    const WindowGeometry area = client != nullptr ? *client : WindowGeometry{0, 0, shot.width, shot.height};
    const int marksRow = area.y + static_cast<int>(ProjectY(3.85, 23, area.height));
    const int blankRow = area.y + static_cast<int>(ProjectY(3.0, 23, area.height));
    const int left = area.x + static_cast<int>(ProjectX(-12.5, 23, area.width));
    const int right = area.x + static_cast<int>(ProjectX(12.5, 23, area.width));
    DefaultRuleCount count;
    count.span = right - left + 1;
    for (int x = left; x <= right; ++x) {
        const unsigned char* m = shot.At(x, marksRow);
        if (m[0] + m[1] + m[2] < 3 * 200) ++count.marks;
        const unsigned char* b = shot.At(x, blankRow);
        if (std::abs(b[0] - 248) <= 3 && std::abs(b[1] - 246) <= 3 && std::abs(b[2] - 236) <= 3) ++count.body;
    }
    return count;
}

bool WaitForDefaultRules(const XvfbSession& session, double seconds, DefaultRuleCount* count,
                         const WindowGeometry* client) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        Screenshot shot;
        if (!TakeScreenshot(session, &shot)) return false;
        *count = CountDefaultRulePixels(shot, client);
        if (count->Shown()) return true;
        usleep(100000);
    } while (std::chrono::steady_clock::now() < deadline);
    return true;
}
