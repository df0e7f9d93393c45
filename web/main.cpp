// The lesson in the browser: the page (web/page.js) starts it, routes every
// control event and timer tick here, and starts it afresh after お わ る.
//
// The message box cannot block in a browser. Its one caller, the time
// alignment that finds the aligned distance out of range, only sets the
// verification bars' fill colours after the box; those bars stand at width 0
// at that moment (the pick that led there emptied the verification track) and
// the colours are the runners' own, so nothing on the stage differs whether
// that happens before or after the user closes the box. The box is therefore
// shown without waiting, modal all the same, while the timers tick on.
#include "lesson.h"
#include "web_toolkit.h"

#include <emscripten/emscripten.h>

#include <exception>
#include <memory>

namespace {

std::unique_ptr<web::WebToolkit> toolkit;
std::unique_ptr<lesson::Lesson> theLesson;

template <typename F> void guarded(F&& step) {
    // An error escaping a handler is shown in the message box and the page
    // goes on, as the desktop's event loop does.
    try {
        step();
    } catch (const std::exception& e) {
        toolkit->errorBox(e.what());
    } catch (...) {
        toolkit->errorBox("予期しないエラーが発生しました");
    }
}

void create() {
    theLesson.reset();
    toolkit = std::make_unique<web::WebToolkit>();
    theLesson = std::make_unique<lesson::Lesson>(*toolkit);
    guarded([] { theLesson->FormCreate(); }); // the window's OnCreate
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void hayasa_start() {
    create();
}

EMSCRIPTEN_KEEPALIVE void hayasa_restart() {
    create();
}

EMSCRIPTEN_KEEPALIVE void hayasa_raise(int sender, int event) {
    if (!theLesson || sender < 0 || sender >= static_cast<int>(lesson::Ctl::Count))
        return;
    guarded([&] {
        theLesson->dispatch(static_cast<lesson::Ctl>(sender), static_cast<lesson::Event>(event));
    });
}
}
