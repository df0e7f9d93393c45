#include "controls.h"

#include <cstddef>

namespace lesson {

namespace {

constexpr const char* Gothic = GothicFace;
constexpr const char* Mincho = MinchoFace;
constexpr const char* Century = "Century";

constexpr int kRaceTop[3] = {200, 256, 312};
constexpr int kTrunTop[3] = {536, 592, 648};
constexpr const char* kRunnerCaption[3] = {"走 者 １", "走 者 ２", "走 者 ３"};
constexpr int kBoxLeft[3] = {8, 224, 440};
constexpr const char* kBoxCaption[3] = {"１コースの走者", "２コースの走者", "３コースの走者"};

ControlDef make(Ctl id, const char* name, Kind kind, Ctl parent, int l, int t, int w, int h,
                const char* caption, const char* face, int px, bool bold, bool italic, Color font,
                bool visible, int tab, int itemHeight = 0, Color pen = clBlack) {
    return ControlDef{id,   name, kind, parent, l,    t,       w,   h,          caption,
                      face, px,   bold, italic, font, visible, tab, itemHeight, pen};
}

Ctl at(Ctl first, int offset) {
    return static_cast<Ctl>(static_cast<int>(first) + offset);
}

std::vector<ControlDef> buildLayout() {
    std::vector<ControlDef> v;
    static const char* runnerLblNames[3] = {"RunnerLbl1", "RunnerLbl2", "RunnerLbl3"};
    static const char* runnerShapeNames[3] = {"RunnerShape1", "RunnerShape2", "RunnerShape3"};
    static const char* trunLblNames[3] = {"TrunLbl1", "TrunLbl2", "TrunLbl3"};
    static const char* trunShapeNames[3] = {"TrunShape1", "TrunShape2", "TrunShape3"};
    for (int i = 0; i < 3; ++i)
        v.push_back(make(at(Ctl::RunnerLbl1, i), runnerLblNames[i], Kind::Label, Ctl::Form1, 8,
                         kRaceTop[i], 90, 21, kRunnerCaption[i], Mincho, 21, true, false,
                         RunnerColor(i + 1), true, -1));
    v.push_back(make(Ctl::JikanLbl, "JikanLbl", Kind::Label, Ctl::Form1, 656, 128, 207, 32,
                     "かかった時間：", Gothic, 32, true, false, clRed, true, -1));
    for (int i = 0; i < 3; ++i)
        v.push_back(make(at(Ctl::RunnerShape1, i), runnerShapeNames[i], Kind::Shape, Ctl::Form1,
                         104, kRaceTop[i], 800, 20, "", "", 0, false, false, clBlack, true, -1, 0,
                         RunnerColor(i + 1)));
    for (int i = 0; i < 3; ++i)
        v.push_back(make(at(Ctl::TrunLbl1, i), trunLblNames[i], Kind::Label, Ctl::Form1, 8,
                         kTrunTop[i], 90, 21, kRunnerCaption[i], Mincho, 21, true, false,
                         RunnerColor(i + 1), false, -1));
    for (int i = 0; i < 3; ++i)
        v.push_back(make(at(Ctl::TrunShape1, i), trunShapeNames[i], Kind::Shape, Ctl::Form1, 104,
                         kTrunTop[i], 800, 20, "", "", 0, false, false, clBlack, false, -1, 0,
                         RunnerColor(i + 1)));
    v.push_back(make(Ctl::Label13, "Label13", Kind::Label, Ctl::Form1, 88, 456, 27, 32, "を",
                     Gothic, 32, false, false, clWindowText, false, -1));
    v.push_back(make(Ctl::Label14, "Label14", Kind::Label, Ctl::Form1, 200, 456, 165, 32,
                     "にそろえる。", Gothic, 32, false, false, clWindowText, false, -1));

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
        v.push_back(make(box, boxNames[i], Kind::GroupBox, Ctl::Form1, kBoxLeft[i], 40, 193, 129,
                         kBoxCaption[i], Gothic, 27, false, false, clRed, true, i));
        Ctl l = firstLabels[i];
        v.push_back(make(l, labelNames[4 * i], Kind::Label, box, 8, 34, 62, 27, "距 離", Gothic, 27,
                         false, false, clWindowText, true, -1));
        v.push_back(make(at(l, 1), labelNames[4 * i + 1], Kind::Label, box, 146, 36, 20, 27, "m",
                         Gothic, 27, false, false, clWindowText, true, -1));
        v.push_back(make(at(l, 2), labelNames[4 * i + 2], Kind::Label, box, 146, 86, 22, 21, "秒",
                         Gothic, 21, true, false, clWindowText, true, -1));
        v.push_back(make(at(l, 3), labelNames[4 * i + 3], Kind::Label, box, 8, 82, 62, 27, "時 間",
                         Gothic, 27, false, false, clWindowText, true, -1));
        v.push_back(make(DistanceList(i + 1), listNames[2 * i], Kind::ComboBox, box, 72, 32, 73, 29,
                         "", Gothic, 21, false, false, clWindowText, true, 0, 21));
        v.push_back(make(TimeList(i + 1), listNames[2 * i + 1], Kind::ComboBox, box, 72, 80, 73, 29,
                         "", Gothic, 21, false, false, clWindowText, true, 1, 21));
    }
    v.push_back(make(Ctl::RedyGoBtn, "RedyGoBtn", Kind::Button, Ctl::Form1, 656, 56, 201, 57,
                     "よ～い、ドン！", Gothic, 32, true, false, clWindowText, true, 3));
    v.push_back(make(Ctl::Syomei, "Syomei", Kind::StaticText, Ctl::Form1, 848, 0, 150, 25,
                     "Hayasa Team", Century, 21, false, true, clGreen, true, 4));
    v.push_back(make(Ctl::RetryBitBtn, "RetryBitBtn", Kind::BitBtn, Ctl::Form1, 872, 56, 129, 57,
                     "もう一度", Gothic, 27, true, true, clNavy, true, 6));
    v.push_back(make(Ctl::TrialBitBtn, "TrialBitBtn", Kind::BitBtn, Ctl::Form1, 0, 392, 193, 41,
                     "確かめよう！", Gothic, 27, true, true, clGreen, true, 7));
    v.push_back(make(Ctl::ComboBox7, "ComboBox7", Kind::ComboBox, Ctl::Form1, 0, 456, 85, 32, "",
                     Gothic, 24, false, false, clWindowText, false, 8, 24));
    v.push_back(make(Ctl::ComboBox8, "ComboBox8", Kind::ComboBox, Ctl::Form1, 120, 456, 73, 32, "",
                     Gothic, 24, false, false, clWindowText, false, 5, 24));
    v.push_back(make(Ctl::StartBitBtn, "StartBitBtn", Kind::BitBtn, Ctl::Form1, 392, 448, 153, 41,
                     "スタート！", Gothic, 27, true, true, clRed, false, 9));
    v.push_back(make(Ctl::OwaruBitBtn, "OwaruBitBtn", Kind::BitBtn, Ctl::Form1, 872, 376, 129, 57,
                     "お わ る", Gothic, 27, true, true, clDarkViolet, true, 10));
    v.push_back(make(Ctl::Timer1, "Timer1", Kind::Timer, Ctl::Form1, 0, 0, 0, 0, "", "", 0, false,
                     false, clBlack, true, -1));
    v.push_back(make(Ctl::Timer2, "Timer2", Kind::Timer, Ctl::Form1, 0, 0, 0, 0, "", "", 0, false,
                     false, clBlack, true, -1));
    return v;
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
    static const ControlDef form{Ctl::Form1, "Form1",      Kind::Window, Ctl::Form1, 0,  0,
                                 1024,       768,          AppTitle,     Gothic,     12, false,
                                 false,      clWindowText, true,         -1,         0,  clBlack};
    const ControlDef* s = index[static_cast<std::size_t>(c)];
    return s ? *s : form;
}

const char* NameOf(Ctl c) {
    return LayoutOf(c).name;
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
    return at(Ctl::RunnerShape1, i - 1);
}
Ctl TrunShape(int i) {
    return at(Ctl::TrunShape1, i - 1);
}
Ctl DistanceList(int i) {
    static const Ctl lists[3] = {Ctl::ComboBox1, Ctl::ComboBox3, Ctl::ComboBox5};
    return lists[i - 1];
}
Ctl TimeList(int i) {
    static const Ctl lists[3] = {Ctl::ComboBox2, Ctl::ComboBox4, Ctl::ComboBox6};
    return lists[i - 1];
}

} // namespace lesson
