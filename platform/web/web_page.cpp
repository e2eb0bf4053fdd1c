// The main loop in the browser, and the program's words to its page. A page
// cannot run a busy loop: the browser calls one pass of the program's loop
// each animation frame instead, until a pass says stop.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/platform.h"
#include "platform/web/web_page.h"

namespace {

bool (*runPass)() = nullptr;
bool passRunning = false;
bool firstPass = true;
unsigned passNumber = 0;

EM_JS(void, TellPage, (const char* what, const char* caption, const char* text), {
    if (Module.onProgramEvent) Module.onProgramEvent(UTF8ToString(what), UTF8ToString(caption), UTF8ToString(text));
});

// Waits until the browser has drawn a frame with the canvas as it is now:
// the animation frame comes before the frame is drawn, the timer after it.
EM_ASYNC_JS(void, WaitForShownFrame, (), {
    await new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve, 0)));
});

// The page's loop: once each animation frame it asks for one pass, until
// the program stops it.
EM_JS(void, StartPageLoop, (), {
    Module.passesWanted = true;
    const frame = () => {
        if (!Module.passesWanted) return;
        Module._WebRunPass();
        requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
});

EM_JS(void, StopPageLoop, (), { Module.passesWanted = false; });

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void WebRunPass() {
    // A pass waiting for its loading picture to be shown, or one that ended
    // the process, is not run over.
    if (passRunning || runPass == nullptr) return;
    passRunning = true;
    ++passNumber;
    const bool goOn = runPass();
    // The first pass ends once the first scene frame is shown: the page
    // hears when the rules are there.
    if (firstPass && goOn) TellPage("started", "", "");
    firstPass = false;
    passRunning = false;
    if (!goOn) {
        runPass = nullptr;
        StopPageLoop();
        TellPage("ended", "", "");
    }
}

// The page starts the program anew: this instance stops its loop and no
// longer listens to the page.
extern "C" EMSCRIPTEN_KEEPALIVE void WebStopProgram() {
    runPass = nullptr;
    StopPageLoop();
    emscripten_html5_remove_all_event_listeners();
}

// The desktop's loop is the page's: main returns, the page runs the passes.
void PlatformRunMainLoop(bool (*pass)()) {
    runPass = pass;
    StartPageLoop();
}

unsigned WebPassNumber() { return passNumber; }

void WebPageShowMessage(const char* caption, const char* text) { TellPage("message", caption, text); }

void WebPagePresented() {
    TellPage("presented", "", "");
    if (firstPass) WaitForShownFrame();
}

// The page keeps it in its address.
void PlatformPublishSetting(const char* text) { TellPage("setting", "", text); }
