#include "controls.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace lesson {

namespace {

constexpr Face Gothic = Face::Gothic;
constexpr Face Mincho = Face::Mincho;
constexpr Face Century = Face::Century;

constexpr int kRaceTop[3] = {200, 256, 312};
constexpr int kTrunTop[3] = {536, 592, 648};
constexpr const char* kRunnerCaption[3] = {"走 者 １", "走 者 ２", "走 者 ３"};
constexpr int kBoxLeft[3] = {8, 224, 440};
constexpr const char* kBoxCaption[3] = {"１コースの走者", "２コースの走者", "３コースの走者"};

Ctl nth(Ctl first, int offset) {
    return static_cast<Ctl>(static_cast<int>(first) + offset);
}

// One row of the layout, filled in by name. A control starts as a visible
// child of the window at 0,0 with no size, caption, font or tab stop, black
// ink and a black pen; each call sets what its row says.
class Row {
  public:
    explicit Row(ControlDef& def) : d_(def) {}
    Row& in(Ctl parent) {
        d_.parent = parent;
        return *this;
    }
    Row& at(int left, int top) {
        d_.left = left;
        d_.top = top;
        return *this;
    }
    Row& size(int width, int height) {
        d_.width = width;
        d_.height = height;
        return *this;
    }
    Row& caption(const char* text) {
        d_.caption = text;
        return *this;
    }
    Row& font(Face face, int pixels) {
        d_.face = face;
        d_.fontPixels = pixels;
        return *this;
    }
    Row& bold() {
        d_.bold = true;
        return *this;
    }
    Row& italic() {
        d_.italic = true;
        return *this;
    }
    Row& ink(Color c) {
        d_.fontColor = c;
        return *this;
    }
    Row& hidden() {
        d_.visible = false;
        return *this;
    }
    Row& tab(int order) {
        d_.tabOrder = order;
        return *this;
    }
    Row& itemHeight(int pixels) {
        d_.itemHeight = pixels;
        return *this;
    }
    Row& pen(Color c) {
        d_.penColor = c;
        return *this;
    }

  private:
    ControlDef& d_;
};

// The table being written, one helper per kind of control. A row is complete
// before the next one is added.
class Table {
  public:
    Row label(Ctl id, const char* name) { return add(id, name, Kind::Label); }
    Row staticText(Ctl id, const char* name) { return add(id, name, Kind::StaticText); }
    Row shape(Ctl id, const char* name) { return add(id, name, Kind::Shape); }
    Row groupBox(Ctl id, const char* name) { return add(id, name, Kind::GroupBox); }
    Row list(Ctl id, const char* name) { return add(id, name, Kind::ComboBox); }
    Row button(Ctl id, const char* name) { return add(id, name, Kind::Button); }
    Row bitBtn(Ctl id, const char* name) { return add(id, name, Kind::BitBtn); }
    Row timer(Ctl id, const char* name) { return add(id, name, Kind::Timer); }
    Row window(Ctl id, const char* name) { return add(id, name, Kind::Window); }

    std::vector<ControlDef> rows;

  private:
    Row add(Ctl id, const char* name, Kind kind) {
        rows.push_back(ControlDef{id, name, kind, Ctl::Form1, 0, 0, 0, 0, "", Face::Gothic, 0,
                                  false, false, clWindowText, true, -1, 0, clBlack});
        return Row(rows.back());
    }
};

std::vector<ControlDef> buildLayout() {
    Table t;
    static const char* runnerLblNames[3] = {"RunnerLbl1", "RunnerLbl2", "RunnerLbl3"};
    static const char* runnerShapeNames[3] = {"RunnerShape1", "RunnerShape2", "RunnerShape3"};
    static const char* trunLblNames[3] = {"TrunLbl1", "TrunLbl2", "TrunLbl3"};
    static const char* trunShapeNames[3] = {"TrunShape1", "TrunShape2", "TrunShape3"};
    for (int i = 0; i < 3; ++i)
        t.label(nth(Ctl::RunnerLbl1, i), runnerLblNames[i])
            .at(8, kRaceTop[i])
            .size(90, 21)
            .caption(kRunnerCaption[i])
            .font(Mincho, 21)
            .bold()
            .ink(RunnerColor(i + 1));
    t.label(Ctl::JikanLbl, "JikanLbl")
        .at(656, 128)
        .size(207, 32)
        .caption("かかった時間：")
        .font(Gothic, 32)
        .bold()
        .ink(clRed);
    for (int i = 0; i < 3; ++i)
        t.shape(nth(Ctl::RunnerShape1, i), runnerShapeNames[i])
            .at(104, kRaceTop[i])
            .size(TrackWidth, 20)
            .pen(RunnerColor(i + 1));
    for (int i = 0; i < 3; ++i)
        t.label(nth(Ctl::TrunLbl1, i), trunLblNames[i])
            .at(8, kTrunTop[i])
            .size(90, 21)
            .caption(kRunnerCaption[i])
            .font(Mincho, 21)
            .bold()
            .ink(RunnerColor(i + 1))
            .hidden();
    for (int i = 0; i < 3; ++i)
        t.shape(nth(Ctl::TrunShape1, i), trunShapeNames[i])
            .at(104, kTrunTop[i])
            .size(TrackWidth, 20)
            .pen(RunnerColor(i + 1))
            .hidden();
    t.label(Ctl::Label13, "Label13")
        .at(88, 456)
        .size(27, 32)
        .caption("を")
        .font(Gothic, 32)
        .hidden();
    t.label(Ctl::Label14, "Label14")
        .at(200, 456)
        .size(165, 32)
        .caption("にそろえる。")
        .font(Gothic, 32)
        .hidden();

    static const Ctl boxes[3] = {Ctl::RunnerBox1, Ctl::RunnerBox2, Ctl::RunnerBox3};
    static const char* boxNames[3] = {"RunnerBox1", "RunnerBox2", "RunnerBox3"};
    static const Ctl firstLabels[3] = {Ctl::Label1, Ctl::Label5, Ctl::Label9};
    static const char* labelNames[12] = {"Label1", "Label2",  "Label3",  "Label4",
                                         "Label5", "Label6",  "Label7",  "Label8",
                                         "Label9", "Label10", "Label11", "Label12"};
    static const char* listNames[6] = {"ComboBox1", "ComboBox2", "ComboBox3",
                                       "ComboBox4", "ComboBox5", "ComboBox6"};
    for (int i = 0; i < 3; ++i) {
        Ctl box = boxes[i];
        t.groupBox(box, boxNames[i])
            .at(kBoxLeft[i], 40)
            .size(193, 129)
            .caption(kBoxCaption[i])
            .font(Gothic, 27)
            .ink(clRed)
            .tab(i);
        Ctl l = firstLabels[i];
        t.label(l, labelNames[4 * i])
            .in(box)
            .at(8, 34)
            .size(62, 27)
            .caption("距 離")
            .font(Gothic, 27);
        t.label(nth(l, 1), labelNames[4 * i + 1])
            .in(box)
            .at(146, 36)
            .size(20, 27)
            .caption("m")
            .font(Gothic, 27);
        t.label(nth(l, 2), labelNames[4 * i + 2])
            .in(box)
            .at(146, 86)
            .size(22, 21)
            .caption("秒")
            .font(Gothic, 21)
            .bold();
        t.label(nth(l, 3), labelNames[4 * i + 3])
            .in(box)
            .at(8, 82)
            .size(62, 27)
            .caption("時 間")
            .font(Gothic, 27);
        t.list(DistanceList(i + 1), listNames[2 * i])
            .in(box)
            .at(72, 32)
            .size(73, 29)
            .font(Gothic, 21)
            .tab(0)
            .itemHeight(21);
        t.list(TimeList(i + 1), listNames[2 * i + 1])
            .in(box)
            .at(72, 80)
            .size(73, 29)
            .font(Gothic, 21)
            .tab(1)
            .itemHeight(21);
    }
    t.button(Ctl::RedyGoBtn, "RedyGoBtn")
        .at(656, 56)
        .size(201, 57)
        .caption("よ～い、ドン！")
        .font(Gothic, 32)
        .bold()
        .tab(3);
    t.staticText(Ctl::Syomei, "Syomei")
        .at(848, 0)
        .size(150, 25)
        .caption("Hayasa Team")
        .font(Century, 21)
        .italic()
        .ink(clGreen)
        .tab(4);
    t.bitBtn(Ctl::RetryBitBtn, "RetryBitBtn")
        .at(872, 56)
        .size(129, 57)
        .caption("もう一度")
        .font(Gothic, 27)
        .bold()
        .italic()
        .ink(clNavy)
        .tab(6);
    t.bitBtn(Ctl::TrialBitBtn, "TrialBitBtn")
        .at(0, 392)
        .size(193, 41)
        .caption("確かめよう！")
        .font(Gothic, 27)
        .bold()
        .italic()
        .ink(clGreen)
        .tab(7);
    t.list(Ctl::ComboBox7, "ComboBox7")
        .at(0, 456)
        .size(85, 32)
        .font(Gothic, 24)
        .hidden()
        .tab(8)
        .itemHeight(24);
    t.list(Ctl::ComboBox8, "ComboBox8")
        .at(120, 456)
        .size(73, 32)
        .font(Gothic, 24)
        .hidden()
        .tab(5)
        .itemHeight(24);
    t.bitBtn(Ctl::StartBitBtn, "StartBitBtn")
        .at(392, 448)
        .size(153, 41)
        .caption("スタート！")
        .font(Gothic, 27)
        .bold()
        .italic()
        .ink(clRed)
        .hidden()
        .tab(9);
    t.bitBtn(Ctl::OwaruBitBtn, "OwaruBitBtn")
        .at(872, 376)
        .size(129, 57)
        .caption("お わ る")
        .font(Gothic, 27)
        .bold()
        .italic()
        .ink(clDarkViolet)
        .tab(10);
    t.timer(Ctl::Timer1, "Timer1");
    t.timer(Ctl::Timer2, "Timer2");
    return std::move(t.rows);
}

std::vector<std::string> numerals(int from, int to, int step) {
    std::vector<std::string> out;
    for (int n = from; n <= to; n += step)
        out.push_back(std::to_string(n));
    return out;
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out{""};
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

const std::vector<ControlDef>& Layout() {
    static const std::vector<ControlDef> layout = buildLayout();
    return layout;
}

const ControlDef& LayoutOf(Ctl c) {
    static const std::vector<const ControlDef*> index = [] {
        std::vector<const ControlDef*> ix(static_cast<std::size_t>(Ctl::Count), nullptr);
        for (const auto& s : Layout())
            ix[static_cast<std::size_t>(s.id)] = &s;
        return ix;
    }();
    static const ControlDef form = [] {
        Table t;
        t.window(Ctl::Form1, "Form1")
            .size(ClientWidth, ClientHeight)
            .caption(AppTitle)
            .font(Gothic, 12);
        return t.rows.front();
    }();
    const ControlDef* s = index[static_cast<std::size_t>(c)];
    return s ? *s : form;
}

const char* FaceName(Face face) {
    switch (face) {
    case Face::Mincho:
        return "ＭＳ 明朝";
    case Face::Century:
        return "Century";
    case Face::Gothic:
        break;
    }
    return "ＭＳ Ｐゴシック";
}

const char* NameOf(Ctl c) {
    return LayoutOf(c).name;
}

namespace {

bool takesFocus(Kind k) {
    return k == Kind::ComboBox || k == Kind::Button || k == Kind::BitBtn;
}

void appendTabStops(Ctl parent, std::vector<Ctl>& chain) {
    std::vector<const ControlDef*> stops;
    for (const ControlDef& d : Layout())
        if (d.parent == parent && d.tabOrder >= 0 && d.kind != Kind::Window)
            stops.push_back(&d);
    std::stable_sort(stops.begin(), stops.end(), [](const ControlDef* a, const ControlDef* b) {
        return a->tabOrder < b->tabOrder;
    });
    for (const ControlDef* d : stops) {
        if (d->kind == Kind::GroupBox)
            appendTabStops(d->id, chain);
        else if (takesFocus(d->kind))
            chain.push_back(d->id);
    }
}

} // namespace

std::vector<Ctl> TabChain() {
    std::vector<Ctl> chain;
    appendTabStops(Ctl::Form1, chain);
    return chain;
}

const std::vector<std::string>& ListItems(Ctl list) {
    static const std::vector<std::string> distance =
        concat({numerals(1, 10, 1), numerals(20, 1000, 10)});
    static const std::vector<std::string> time =
        concat({numerals(1, 120, 1), numerals(131, 220, 1), numerals(231, 300, 1)});
    static const std::vector<std::string> quantity{"", "距離", "時間"};
    static const std::vector<std::string> value = concat({numerals(1, 1000, 1)});
    static const std::vector<std::string> none;
    switch (list) {
    case Ctl::ComboBox1:
    case Ctl::ComboBox3:
    case Ctl::ComboBox5:
        return distance;
    case Ctl::ComboBox2:
    case Ctl::ComboBox4:
    case Ctl::ComboBox6:
        return time;
    case Ctl::ComboBox7:
        return quantity;
    case Ctl::ComboBox8:
        return value;
    default:
        return none;
    }
}

Ctl RunnerShape(int i) {
    return nth(Ctl::RunnerShape1, i - 1);
}
Ctl TrunShape(int i) {
    return nth(Ctl::TrunShape1, i - 1);
}
Ctl DistanceList(int i) {
    static const Ctl lists[3] = {Ctl::ComboBox1, Ctl::ComboBox3, Ctl::ComboBox5};
    return lists[i - 1];
}
Ctl TimeList(int i) {
    static const Ctl lists[3] = {Ctl::ComboBox2, Ctl::ComboBox4, Ctl::ComboBox6};
    return lists[i - 1];
}

const char* AccessibleName(Ctl c) {
    switch (c) {
    case Ctl::ComboBox1:
        return "走者１の距離";
    case Ctl::ComboBox2:
        return "走者１の時間";
    case Ctl::ComboBox3:
        return "走者２の距離";
    case Ctl::ComboBox4:
        return "走者２の時間";
    case Ctl::ComboBox5:
        return "走者３の距離";
    case Ctl::ComboBox6:
        return "走者３の時間";
    case Ctl::ComboBox7:
        return "そろえるもの";
    case Ctl::ComboBox8:
        return "そろえる値";
    case Ctl::RunnerShape1:
        return "走者１のバー";
    case Ctl::RunnerShape2:
        return "走者２のバー";
    case Ctl::RunnerShape3:
        return "走者３のバー";
    case Ctl::TrunShape1:
        return "確かめる走者１のバー";
    case Ctl::TrunShape2:
        return "確かめる走者２のバー";
    case Ctl::TrunShape3:
        return "確かめる走者３のバー";
    default:
        return nullptr;
    }
}

} // namespace lesson
