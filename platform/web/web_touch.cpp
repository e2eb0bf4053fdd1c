#include "platform/web/web_touch.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <deque>

#include "platform/backend.h"
#include "platform/web/web_page.h"

namespace {

constexpr const char* CANVAS = "#canvas";
// Two fingers moving apart by this many CSS pixels turn the wheel a notch
// away from the user (nearer); moving together, a notch toward.
constexpr double PINCH_PIXELS_A_NOTCH = 8.0;

enum class Gesture {
    None,        // no finger down
    OneFinger,   // a drag or a pan, the left or right button held
    TwoFingers,  // zoom and pan, the right button held at the midpoint
    Over         // ended (a third finger, a cancel): waits for every finger to lift
};

// A finger on the canvas, in device pixels.
struct Finger {
    long id = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// A press or release of the gesture's button, waiting to be posted until a
// pass has seen the pointer at its point.
struct ButtonStep {
    bool down = false;
    bool byTarget = false;  // a press: the left button on a part the program drags, else the right
    int32_t x = 0;
    int32_t y = 0;
    unsigned seenInPass = 0;  // the pass that saw the pointer there; 0 none yet
};

bool (*touchTarget)(int32_t, int32_t) = nullptr;
Gesture gesture = Gesture::None;
long fingerIds[2] = {0, 0};
int32_t pointX = 0;  // the gesture's point now: the finger, or the two fingers' midpoint
int32_t pointY = 0;
double spread = 0.0;     // two fingers' distance, CSS pixels
double wheelPart = 0.0;  // a turn of the wheel too small to post yet
bool holding = false;    // a press queued or posted, its release not yet queued
std::deque<ButtonStep> steps;
PlatformButton pressed = PlatformButton::Left;  // the button the last press posted

EM_JS(double, TouchPixelRatio, (), { return window.devicePixelRatio || 1; });

void Press(bool byTarget) {
    steps.push_back(ButtonStep{true, byTarget, pointX, pointY, 0});
    holding = true;
}

// Lets go of what the gesture holds, where its point is now.
void Release() {
    if (holding) steps.push_back(ButtonStep{false, false, pointX, pointY, 0});
    holding = false;
}

void StartOneFinger(const Finger& finger) {
    gesture = Gesture::OneFinger;
    fingerIds[0] = finger.id;
    pointX = finger.x;
    pointY = finger.y;
    Press(true);
}

double Spread(const Finger& a, const Finger& b, double ratio) {
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y)) / ratio;
}

void StartTwoFingers(const Finger& a, const Finger& b, double ratio) {
    gesture = Gesture::TwoFingers;
    fingerIds[0] = a.id;
    fingerIds[1] = b.id;
    pointX = (a.x + b.x) / 2;
    pointY = (a.y + b.y) / 2;
    spread = Spread(a, b, ratio);
    wheelPart = 0.0;
    Press(false);
}

void MoveTwoFingers(const Finger& a, const Finger& b, double ratio) {
    pointX = (a.x + b.x) / 2;
    pointY = (a.y + b.y) / 2;
    const double now = Spread(a, b, ratio);
    wheelPart += (now - spread) / PINCH_PIXELS_A_NOTCH * WHEEL_DELTA;
    spread = now;
    const int turn = static_cast<int>(wheelPart);
    WindowHandle window = PlatformMainWindow();
    if (turn == 0 || window == nullptr) return;
    wheelPart -= turn;
    PlatformPostMessage(window, WM_MOUSEWHEEL, MakeWheelParam(turn), 0);
}

// The fingers are those the gesture began with.
bool SameFingers(const Finger* fingers, int count) {
    for (int k = 0; k < count; ++k) {
        if (fingers[k].id != fingerIds[0] && (count < 2 || fingers[k].id != fingerIds[1])) return false;
    }
    return true;
}

// The fingers on the canvas now, after a start, a move or a lift.
void Follow(const Finger* fingers, int count, double ratio) {
    if (count == 0) {
        Release();
        gesture = Gesture::None;
        return;
    }
    if (count > 2) {
        Release();
        gesture = Gesture::Over;
        return;
    }
    switch (gesture) {
        case Gesture::None:
            if (count == 1) {
                StartOneFinger(fingers[0]);
            } else {
                StartTwoFingers(fingers[0], fingers[1], ratio);
            }
            return;
        case Gesture::OneFinger:
            if (count == 2) {
                Release();
                StartTwoFingers(fingers[0], fingers[1], ratio);
            } else if (count == 1 && SameFingers(fingers, 1)) {
                pointX = fingers[0].x;
                pointY = fingers[0].y;
            } else {
                Release();
                gesture = Gesture::Over;
            }
            return;
        case Gesture::TwoFingers:
            // One of the two lifted: the gesture ends there, the other
            // finger does nothing more.
            if (count == 2 && SameFingers(fingers, 2)) {
                MoveTwoFingers(fingers[0], fingers[1], ratio);
            } else {
                Release();
                gesture = Gesture::Over;
            }
            return;
        case Gesture::Over:
            return;
    }
}

// Every touch callback: the fingers that went down on the canvas and are
// still down. A cancelled touch lets go of everything and is not prevented
// (the browser cancels it for its own reasons and says so if it is).
EM_BOOL OnTouch(int eventType, const EmscriptenTouchEvent* event, void*) {
    const bool lifted = eventType == EMSCRIPTEN_EVENT_TOUCHEND || eventType == EMSCRIPTEN_EVENT_TOUCHCANCEL;
    const double ratio = TouchPixelRatio();
    Finger fingers[3];
    int count = 0;
    for (int k = 0; k < event->numTouches; ++k) {
        const EmscriptenTouchPoint& touch = event->touches[k];
        if (!touch.onTarget || (lifted && touch.isChanged)) continue;
        if (count < 3) {
            fingers[count] = Finger{touch.identifier, static_cast<int32_t>(static_cast<double>(touch.clientX) * ratio),
                                    static_cast<int32_t>(static_cast<double>(touch.clientY) * ratio)};
        }
        ++count;
    }
    if (eventType == EMSCRIPTEN_EVENT_TOUCHCANCEL) {
        Release();
        gesture = count > 0 ? Gesture::Over : Gesture::None;
        return EM_FALSE;
    }
    Follow(fingers, count > 3 ? 3 : count, ratio);
    // The page neither scrolls, zooms nor makes mouse events of it.
    return EM_TRUE;
}

}  // namespace

void PlatformSetTouchTarget(bool (*onMovablePart)(int32_t clientX, int32_t clientY)) { touchTarget = onMovablePart; }

void WebListenToTouch() {
    emscripten_set_touchstart_callback(CANVAS, nullptr, EM_TRUE, OnTouch);
    emscripten_set_touchmove_callback(CANVAS, nullptr, EM_TRUE, OnTouch);
    emscripten_set_touchend_callback(CANVAS, nullptr, EM_TRUE, OnTouch);
    emscripten_set_touchcancel_callback(CANVAS, nullptr, EM_TRUE, OnTouch);
}

bool WebTouchDrain(int32_t* x, int32_t* y) {
    const unsigned pass = WebPassNumber();
    WindowHandle window = PlatformMainWindow();
    // Due: a step whose point an earlier pass has seen. A press is then
    // picked where the pass before left the pointer, under the finger; a
    // release comes after a pass has moved to where the finger lifted.
    while (!steps.empty() && steps.front().seenInPass != 0 && steps.front().seenInPass < pass) {
        const ButtonStep step = steps.front();
        steps.pop_front();
        if (window == nullptr) continue;
        const intptr_t where = MakeSizeParam(step.x, step.y);
        if (step.down) {
            const bool onPart = step.byTarget && touchTarget != nullptr && touchTarget(step.x, step.y);
            pressed = onPart ? PlatformButton::Left : PlatformButton::Right;
            PlatformButtonEvent(window, pressed, true, where);
        } else if (PlatformButtonHeld(pressed)) {
            PlatformButtonEvent(window, pressed, false, where);
        }
    }
    if (!steps.empty()) {
        ButtonStep& next = steps.front();
        if (next.seenInPass == 0) next.seenInPass = pass;
        *x = next.x;
        *y = next.y;
        return true;
    }
    if (gesture != Gesture::OneFinger && gesture != Gesture::TwoFingers) return false;
    *x = pointX;
    *y = pointY;
    return true;
}

void WebTouchLetGo() {
    steps.clear();
    holding = false;
    if (gesture != Gesture::None) gesture = Gesture::Over;
}
