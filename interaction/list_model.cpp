#include "list_model.h"

#include <algorithm>
#include <utility>

namespace interaction {

using lesson::Event;

namespace {

char32_t folded(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c;
}

bool startsWith(const std::u32string& text, const std::u32string& prefix) {
    if (prefix.size() > text.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (folded(text[i]) != folded(prefix[i]))
            return false;
    return true;
}

void append(Events& to, const Events& more) {
    to.insert(to.end(), more.begin(), more.end());
}

} // namespace

std::u32string Utf32(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < len && i + k < s.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(c);
        i += len;
    }
    return out;
}

std::string Utf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

ListModel::ListModel(std::vector<std::string> items) : items_(std::move(items)) {
    for (const auto& item : items_)
        items32_.push_back(Utf32(item));
}

std::string ListModel::text() const {
    return Utf8(text_);
}

int ListModel::clampRow(int row) const {
    return std::max(0, std::min(count() - 1, row));
}

void ListModel::setSelection(int anchor, int caret) {
    int n = textLength();
    selStart_ = std::max(0, std::min(n, anchor));
    caret_ = selEnd_ = std::max(0, std::min(n, caret));
    changed();
}

void ListModel::showItem(int index) {
    index_ = index;
    text_ = index >= 0 ? items32_[static_cast<size_t>(index)] : std::u32string();
    setSelection(textLength(), textLength());
    if (open_)
        highlight_ = index;
}

void ListModel::setIndex(int index) {
    showItem(index >= 0 && index < count() ? index : -1);
}

void ListModel::hide() {
    if (!open_)
        return;
    open_ = false;
    highlight_ = -1;
    changed();
}

int ListModel::findPrefix(const std::u32string& prefix) const {
    for (int i = 0; i < count(); ++i)
        if (startsWith(items32_[static_cast<size_t>(i)], prefix))
            return i;
    return -1;
}

Events ListModel::userSelect(int index) {
    if (open_ && highlight_ != index) {
        highlight_ = index;
        changed();
    }
    if (index == index_)
        return {};
    showItem(index);
    return {Event::OnClick, Event::OnSelect};
}

Events ListModel::open() {
    if (open_)
        return {};
    open_ = true;
    highlight_ = index_;
    changed();
    return {};
}

Events ListModel::close() {
    if (!open_)
        return {};
    open_ = false;
    highlight_ = -1;
    changed();
    return {Event::OnCloseUp};
}

Events ListModel::toggle() {
    return open_ ? close() : open();
}

Events ListModel::type(char32_t ch) {
    open();
    const int a = selectionStart(), b = selectionEnd();
    const std::u32string prefix = (a < b ? text_.substr(0, static_cast<size_t>(a)) : text_) + ch;
    const int k = findPrefix(prefix);
    if (k < 0) {
        // No item begins so: the character stands in the field as typed.
        const int at = a < b ? a : caret_;
        const int end = a < b ? b : caret_;
        text_ =
            text_.substr(0, static_cast<size_t>(at)) + ch + text_.substr(static_cast<size_t>(end));
        setSelection(at + 1, at + 1);
        return {};
    }
    const int old = index_;
    index_ = k;
    highlight_ = k;
    // The typed text, then the rest of the item, selected, the caret where
    // the typing goes on.
    text_ = prefix + items32_[static_cast<size_t>(k)].substr(prefix.size());
    setSelection(textLength(), static_cast<int>(prefix.size()));
    if (k == old)
        return {};
    return {Event::OnClick, Event::OnSelect};
}

Events ListModel::backspace() {
    if (text_.empty())
        return {};
    int at = caret_;
    if (hasSelection()) {
        at = selectionStart();
        text_.erase(static_cast<size_t>(at), static_cast<size_t>(selectionEnd() - at));
    } else if (at > 0) {
        text_.erase(static_cast<size_t>(--at), 1);
    }
    // An edited field stands for no item any more.
    index_ = -1;
    if (open_)
        highlight_ = -1;
    setSelection(at, at);
    return {};
}

KeyResult ListModel::key(Key k, Modifiers m, char32_t character) {
    const int last = count() - 1;
    switch (k) {
    case Key::Backspace:
        return {true, backspace()};
    case Key::Delete:
        if (!open_ && !m.any()) {
            int at = hasSelection() ? selectionStart() : caret_;
            int len = hasSelection() ? selectionEnd() - at : (at < textLength() ? 1 : 0);
            text_.erase(static_cast<size_t>(at), static_cast<size_t>(len));
            setSelection(at, at);
        }
        return {true, {}};
    case Key::Escape:
        if (!open_)
            return {false, {}};
        return {true, close()};
    case Key::Tab:
        // The focus moves on; an open list closes on the way.
        return {false, close()};
    case Key::F4:
        return {true, toggle()};
    case Key::Up:
    case Key::Down:
    case Key::PageUp:
    case Key::PageDown: {
        if (m.alt && !m.ctrl && !m.meta && (k == Key::Up || k == Key::Down))
            return {true, toggle()};
        if (m.any())
            return {true, {}}; // no other modified move changes the item
        const int page = VisibleRows - 1;
        const int step = k == Key::Up ? -1 : k == Key::Down ? 1 : k == Key::PageUp ? -page : page;
        // A move starts from the highlighted row while the list is dropped
        // down (the pointer may have moved it), else from the current item.
        const int from = open_ && highlight_ >= 0 ? highlight_ : index_;
        return {true, userSelect(from < 0 ? 0 : clampRow(from + step))};
    }
    case Key::Home:
    case Key::End: {
        if (m.any())
            return {false, {}};
        if (open_)
            return {true, userSelect(k == Key::Home ? 0 : last)};
        const int to = k == Key::Home ? 0 : textLength();
        setSelection(m.shift ? (hasSelection() ? selStart_ : caret_) : to, to);
        return {true, {}};
    }
    case Key::Left:
    case Key::Right: {
        if (m.any() || open_)
            return {true, {}};
        const bool left = k == Key::Left;
        if (m.shift) {
            setSelection(hasSelection() ? selStart_ : caret_, caret_ + (left ? -1 : 1));
        } else if (hasSelection()) {
            const int to = left ? selectionStart() : selectionEnd();
            setSelection(to, to);
        } else {
            setSelection(caret_ + (left ? -1 : 1), caret_ + (left ? -1 : 1));
        }
        return {true, {}};
    }
    case Key::Enter: {
        if (!open_)
            return {false, {}};
        const int row = highlight_;
        Events out = close();
        if (row >= 0)
            append(out, userSelect(row));
        return {true, out};
    }
    case Key::SelectAll:
        setSelection(0, textLength());
        return {true, {}};
    case Key::Character:
        if (m.any() || character < 0x20 || character == 0x7F)
            return {false, {}};
        return {true, type(character)};
    case Key::Other:
        break;
    }
    return {false, {}};
}

Events ListModel::pick(int row) {
    Events out = close();
    if (row >= 0 && row < count())
        append(out, userSelect(row));
    return out;
}

void ListModel::hover(int row) {
    if (!open_ || row < 0 || row >= count() || row == highlight_)
        return;
    highlight_ = row;
    changed();
}

Events ListModel::wheel(double notches) {
    // The wheel belongs to the list that has the keyboard focus: turned over
    // another list it must not change that list's entry.
    if (!focused_ || open_)
        return {};
    wheelRest_ += notches;
    Events out;
    while (wheelRest_ >= 1 || wheelRest_ <= -1) {
        const int step = wheelRest_ > 0 ? 1 : -1;
        wheelRest_ -= step;
        const int next = index_ + step;
        if (next >= 0 && next < count())
            append(out, userSelect(next));
    }
    return out;
}

void ListModel::focusIn(bool byKeyboard) {
    focused_ = true;
    wheelRest_ = 0;
    // Arriving by the keyboard selects the whole text, as a text field does.
    if (byKeyboard)
        setSelection(0, textLength());
    else
        changed();
}

Events ListModel::focusOut() {
    focused_ = false;
    changed();
    return close();
}

void ListModel::select(int anchor, int caret) {
    setSelection(anchor, caret);
}

void ListModel::edited(const std::u32string& text, int caret) {
    text_ = text;
    setSelection(caret, caret);
}

ListGeometry ListGeometry::For(int listWidth, int widestItem) {
    // The field needs the widest item and one pixel for the caret.
    const int room = listWidth - FieldInset - 1 - (widestItem + 1);
    const int arrow = std::max(MinArrowWidth, std::min(MaxArrowWidth, room));
    return ListGeometry{arrow, listWidth - FieldInset - 1 - arrow};
}

} // namespace interaction
