// The lesson in the browser: the page's script starts it, hands every
// control's input and timer tick here, and starts it afresh after お わ る.
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

#include <memory>
#include <string>

// clang-format off
EM_JS(void, js_set_keys, (const char* table), { Hayasa.bridge.setKeys(UTF8ToString(table)); });
EM_JS(void, js_set_list_geometry, (int visibleRows, int fieldInset), {
    Hayasa.VisibleRows = visibleRows;
    Hayasa.FieldInset = fieldInset;
});
// clang-format on

namespace {

using interaction::Key;
using lesson::Ctl;

std::unique_ptr<web::WebToolkit> toolkit;
std::unique_ptr<lesson::Lesson> theLesson;
bool plainPaths = false;

bool valid(int id) {
    return toolkit && id >= 0 && id < static_cast<int>(Ctl::Count);
}

bool isList(int id) {
    return valid(id) && lesson::LayoutOf(static_cast<Ctl>(id)).kind == lesson::Kind::ComboBox;
}

// The browser's names of the keys a list reacts to; a printable character
// is a key of its own, anything else the list leaves to the page.
void tellKeys() {
    static const struct {
        const char* name;
        Key key;
    } keys[] = {{"Backspace", Key::Backspace},
                {"Delete", Key::Delete},
                {"Escape", Key::Escape},
                {"Enter", Key::Enter},
                {"Tab", Key::Tab},
                {"F4", Key::F4},
                {"ArrowUp", Key::Up},
                {"ArrowDown", Key::Down},
                {"PageUp", Key::PageUp},
                {"PageDown", Key::PageDown},
                {"Home", Key::Home},
                {"End", Key::End},
                {"ArrowLeft", Key::Left},
                {"ArrowRight", Key::Right},
                {"Character", Key::Character},
                {"Other", Key::Other},
                {"SelectAll", Key::SelectAll}};
    std::string table;
    for (const auto& k : keys)
        table += std::string(table.empty() ? "" : ",") + k.name + "=" +
                 std::to_string(static_cast<int>(k.key));
    js_set_keys(table.c_str());
}

void create() {
    theLesson.reset();
    toolkit = std::make_unique<web::WebToolkit>();
    toolkit->canvas().skipRepeatedFills = !plainPaths;
    theLesson = std::make_unique<lesson::Lesson>(*toolkit);
    toolkit->events().setTarget([](Ctl c, lesson::Event e) { theLesson->dispatch(c, e); });
    toolkit->events().run([] { theLesson->FormCreate(); }); // the window's OnCreate
}

} // namespace

extern "C" {

// plain: every fill drawn, as the page's other drawing shortcuts are off too.
EMSCRIPTEN_KEEPALIVE void hayasa_start(int plain) {
    tellKeys();
    js_set_list_geometry(interaction::ListModel::VisibleRows,
                         interaction::ListGeometry::FieldInset);
    plainPaths = plain != 0;
    create();
}

// A button clicked.
EMSCRIPTEN_KEEPALIVE void hayasa_click(int button) {
    if (valid(button))
        toolkit->events().raise(static_cast<Ctl>(button), lesson::Event::OnClick);
}

EMSCRIPTEN_KEEPALIVE void hayasa_timer(int timer) {
    if (toolkit &&
        (timer == static_cast<int>(Ctl::Timer1) || timer == static_cast<int>(Ctl::Timer2)))
        toolkit->timerFired(static_cast<Ctl>(timer));
}

EMSCRIPTEN_KEEPALIVE void hayasa_focus(int id, int byKeyboard) {
    if (valid(id))
        toolkit->focusMoved(static_cast<Ctl>(id), byKeyboard != 0);
}

// Modifiers: 1 Shift, 2 Ctrl, 4 Alt, 8 Meta.
EMSCRIPTEN_KEEPALIVE int hayasa_list_key(int id, int key, int modifiers, int character) {
    if (!isList(id) || key < 0 || key > static_cast<int>(Key::Other))
        return 0;
    interaction::Modifiers m{(modifiers & 1) != 0, (modifiers & 2) != 0, (modifiers & 4) != 0,
                             (modifiers & 8) != 0};
    return toolkit->listKey(static_cast<Ctl>(id), static_cast<Key>(key), m,
                            static_cast<char32_t>(character));
}

// What the pointer did to a list: 0 pick a row, 1 hover a row, 2 press the
// arrow (or tap the field with a finger), 3 the list closed from outside,
// 4 place the caret in the field.
EMSCRIPTEN_KEEPALIVE void hayasa_list_pointer(int id, int what, int row) {
    if (!isList(id))
        return;
    const Ctl c = static_cast<Ctl>(id);
    switch (what) {
    case 0:
        return toolkit->listPick(c, row);
    case 1:
        return toolkit->listHover(c, row);
    case 2:
        return toolkit->listToggle(c);
    case 3:
        return toolkit->listClosed(c);
    case 4:
        return toolkit->listSelect(c, row, row);
    default:
        return;
    }
}

EMSCRIPTEN_KEEPALIVE int hayasa_list_wheel(int id, double notches) {
    return isList(id) && toolkit->listWheel(static_cast<Ctl>(id), notches);
}

// The control the focus goes to when the one that has it is hidden.
EMSCRIPTEN_KEEPALIVE int hayasa_next_focus(int id) {
    return valid(id) ? static_cast<int>(toolkit->nextInTabChain(static_cast<Ctl>(id))) : -1;
}

// The stage's canvases were made anew at another scale.
EMSCRIPTEN_KEEPALIVE void hayasa_rescaled() {
    if (toolkit)
        toolkit->rescaled();
}

// Events handled so far, for tests that wait until their input is handled.
EMSCRIPTEN_KEEPALIVE double hayasa_handled() {
    return toolkit ? static_cast<double>(toolkit->events().handled()) : 0;
}
}
