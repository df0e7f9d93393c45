#include "lesson.h"

#include "numtext.h"

#include <algorithm>
#include <cstdint>

namespace lesson {

namespace {

// Products that feed a division are 32-bit products; wrap as such without
// signed overflow.
int mul32(int a, int b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// How a runner is called when an arrival or a result is said aloud.
std::string RunnerName(int runner) {
    static const char* names[3] = {"走者１", "走者２", "走者３"};
    return names[runner - 1];
}

// The alignment sentence, the verification track and its start button, in the
// order they are shown and hidden.
constexpr Ctl kVerificationControls[] = {Ctl::ComboBox7,  Ctl::Label13,    Ctl::ComboBox8,
                                         Ctl::Label14,    Ctl::TrunLbl1,   Ctl::TrunLbl2,
                                         Ctl::TrunLbl3,   Ctl::TrunShape1, Ctl::TrunShape2,
                                         Ctl::TrunShape3, Ctl::StartBitBtn};

} // namespace

void Lesson::dispatch(Ctl sender, Event event) {
    switch (event) {
    case Event::OnSelect:
        switch (sender) {
        case Ctl::ComboBox1:
            return ComboBox1Select();
        case Ctl::ComboBox2:
            return ComboBox2Select();
        case Ctl::ComboBox3:
            return ComboBox3Select();
        case Ctl::ComboBox4:
            return ComboBox4Select();
        case Ctl::ComboBox5:
            return ComboBox5Select();
        case Ctl::ComboBox6:
            return ComboBox6Select();
        case Ctl::ComboBox7:
            return ComboBox7Select();
        case Ctl::ComboBox8:
            return ComboBox8Select();
        default:
            return;
        }
    case Event::OnCloseUp:
        switch (sender) {
        case Ctl::ComboBox1:
        case Ctl::ComboBox2:
        case Ctl::ComboBox3:
        case Ctl::ComboBox4:
        case Ctl::ComboBox5:
        case Ctl::ComboBox6:
            return ScaleHenko();
        case Ctl::ComboBox8:
            return SoroeAtoSyori();
        default:
            return;
        }
    case Event::OnClick:
        switch (sender) {
        case Ctl::RedyGoBtn:
            return RedyGoBtnClick();
        case Ctl::TrialBitBtn:
            return TrialBitBtnClick();
        case Ctl::ComboBox7:
        case Ctl::ComboBox8:
            return TrunClear();
        case Ctl::StartBitBtn:
            return StartBitBtnClick();
        case Ctl::RetryBitBtn:
            return RetryBitBtnClick();
        case Ctl::OwaruBitBtn:
            return OwaruBitBtnClick();
        default:
            return;
        }
    case Event::OnEnter:
        if (sender == Ctl::ComboBox7 || sender == Ctl::ComboBox8)
            TrunClear();
        return;
    case Event::OnTimer:
        if (sender == Ctl::Timer1)
            Timer1Timer();
        else if (sender == Ctl::Timer2)
            Timer2Timer();
        return;
    }
}

// ---- Start-up, reset and leaving verification mode ----

void Lesson::FormCreate() {
    tk_.refresh();
    tk_.setWindowTop(0);
    tk_.setWindowLeft(0);
    tk_.setWindowHeight(WindowHeight);
    tk_.setWindowWidth(WindowWidth);
    tk_.setFontSize(16);
    tk_.setWindowColor(clLightGreen);
    s_.FormColor = clLightGreen;
    s_.BackColor = tk_.brushColor();
    tk_.setTimerEnabled(Ctl::Timer1, false);
    tk_.setTimerEnabled(Ctl::Timer2, false);
    s_.TickInterval = 20;
    for (int i = 1; i <= 3; ++i)
        tk_.setWidth(RunnerShape(i), 0);
    for (int i = 1; i <= 3; ++i) {
        s_.BarLength[i] = 0;
        s_.ScaleEnd[i] = 0;
    }
    s_.Blank = std::string(10, ' ');
    for (int i = 1; i <= 3; ++i) {
        Rect b = tk_.bounds(RunnerShape(i));
        s_.KyoriLabelPos[i] = Point{b.left, b.top - LabelRise};
        // The refresh above wiped every drawing: nothing is left to erase.
        kyoriLabelCell_[i] = Rect{};
    }
    trunLabelCell_ = Rect{};
    for (int i = 1; i <= 3; ++i)
        s_.Goal[i] = 1;
    for (int i = 1; i <= 3; ++i) {
        tk_.setItemIndex(DistanceList(i), 0);
        tk_.setItemIndex(TimeList(i), 0);
    }
    for (int i = 1; i <= 3; ++i) {
        s_.Kyori[i] = 0;
        s_.Jikan[i] = 0;
    }
    static const Ctl raceRows[] = {Ctl::RunnerLbl1,   Ctl::RunnerShape1, Ctl::RunnerLbl2,
                                   Ctl::RunnerShape2, Ctl::RunnerLbl3,   Ctl::RunnerShape3};
    for (Ctl c : raceRows)
        tk_.setVisible(c, true);
    KakuninVisible();
}

void Lesson::KakuninVisible() {
    tk_.setVisible(Ctl::TrialBitBtn, false);
    for (Ctl c : kVerificationControls)
        tk_.setVisible(c, false);
    for (int i = 1; i <= 3; ++i)
        tk_.setWidth(TrunShape(i), 0);
    TrunClear();
}

void Lesson::TrunClear() {
    // A verification run must not go on over an emptied track: its bars and
    // results would stand on nothing, or on an alignment about to change.
    tk_.setTimerEnabled(Ctl::Timer2, false);
    for (int i = 1; i <= 3; ++i)
        tk_.setWidth(TrunShape(i), 0);
    tk_.setBrushColor(s_.BackColor);
    Rect first = tk_.bounds(Ctl::TrunShape1);
    Rect last = tk_.bounds(Ctl::TrunShape3);
    tk_.fillRect(Rect{first.left - 1, first.top - LabelRise, ClientWidth, last.bottom + 1});
}

void Lesson::RetryBitBtnClick() {
    tk_.setCaption(Ctl::JikanLbl, ClearedElapsedLabel(s_.Blank));
    FormCreate();
}

void Lesson::OwaruBitBtnClick() {
    tk_.requestTermination();
}

// ---- Runner entry and the race track ----

void Lesson::distanceSelect(int i) {
    KakuninVisible();
    s_.Kyori[i] = 0;
    Ctl list = DistanceList(i);
    int index = tk_.itemIndex(list);
    if (index > 0)
        s_.Kyori[i] = TextToInt(tk_.itemText(list, index));
    s_.ScaleEnd[i] = DistanceChange(s_.Kyori[i]);
    ScaleHenko();
}

void Lesson::timeSelect(int i) {
    KakuninVisible();
    s_.Jikan[i] = 0;
    Ctl list = TimeList(i);
    int index = tk_.itemIndex(list);
    if (index > 0)
        s_.Jikan[i] = TextToInt(tk_.itemText(list, index));
    ScaleHenko();
}

void Lesson::eraseLabel(const Point& at, Rect& cell) {
    tk_.textOut(at.x, at.y, s_.Blank);
    if (cell.width() > 0 && cell.height() > 0)
        tk_.fillRect(cell);
    cell = Rect{};
}

void Lesson::ScaleHenko() {
    tk_.setVisible(Ctl::TrialBitBtn, false);
    tk_.setCaption(Ctl::JikanLbl, ClearedElapsedLabel(s_.Blank));
    int m = Maxinteger(s_.ScaleEnd[1], s_.ScaleEnd[2], s_.ScaleEnd[3]);
    if (m != 0) {
        for (int i = 1; i <= 3; ++i)
            s_.BarLength[i] = BarLengthFor(s_.Kyori[i], m);
    }
    Color savedPen = tk_.penColor();
    for (int i = 1; i <= 3; ++i)
        tk_.setWidth(RunnerShape(i), 0);
    tk_.setPenColor(s_.FormColor);
    for (int i = 1; i <= 3; ++i)
        eraseLabel(s_.KyoriLabelPos[i], kyoriLabelCell_[i]);
    tk_.setBrushColor(s_.BackColor);
    Rect first = tk_.bounds(Ctl::RunnerShape1);
    Rect last = tk_.bounds(Ctl::RunnerShape3);
    tk_.fillRect(Rect{first.left - 1, first.top - 1, ClientWidth, last.bottom + 1});
    tk_.setFontColor(clBlack);
    for (int i = 1; i <= 3; ++i) {
        if (s_.Kyori[i] <= 0)
            continue;
        Rect b = tk_.bounds(RunnerShape(i));
        s_.Goal[i] = 0;
        tk_.setPenColor(RunnerColor(i));
        tk_.setBrushColor(clWhite);
        tk_.rectangle(Rect{b.left - 1, b.top - 1, b.left + s_.BarLength[i] + 1, b.bottom + 1});
        tk_.setBrushColor(s_.BackColor);
        Point at{b.left + s_.BarLength[i], b.top - LabelRise};
        kyoriLabelCell_[i] = tk_.textOut(at.x, at.y, IntText(s_.Kyori[i]) + "m");
        s_.KyoriLabelPos[i] = at;
    }
    tk_.setPenColor(savedPen);
}

// ---- The race ----

void Lesson::RedyGoBtnClick() {
    for (int i = 1; i <= 3; ++i) {
        int distance = tk_.itemIndex(DistanceList(i));
        int time = tk_.itemIndex(TimeList(i));
        if (distance == 0 && time != 0)
            return;
        if (distance != 0 && time == 0)
            return;
    }
    if (tk_.itemIndex(Ctl::ComboBox1) + tk_.itemIndex(Ctl::ComboBox3) +
            tk_.itemIndex(Ctl::ComboBox5) ==
        0)
        return;
    // A list whose text was edited has no current item and passes the rules
    // above while its runner's stored time may be 0: such a runner cannot run.
    for (int i = 1; i <= 3; ++i) {
        if (s_.Kyori[i] > 0 && s_.Jikan[i] <= 0)
            return;
    }
    ScaleHenko();
    for (int i = 1; i <= 3; ++i) {
        if (s_.BarLength[i] == 0)
            s_.Goal[i] = 1;
    }
    for (int i = 1; i <= 3; ++i)
        tk_.setShapeBrush(RunnerShape(i), RunnerColor(i));
    startRun(Ctl::Timer1);
}

void Lesson::Timer1Timer() {
    s_.KeikaJikan = AdvanceClock(s_.KeikaJikan, s_.TickInterval);
    tk_.setCaption(Ctl::JikanLbl, ElapsedLabel(s_.KeikaJikan));
    for (int i = 1; i <= 3; ++i) {
        // A runner without a bar, or without a time to run it in, has nothing
        // left to arrive at, also when it lost its bar or time during the race.
        if (!hasRaceBar(i)) {
            s_.Goal[i] = 1;
            continue;
        }
        int length = s_.BarLength[i];
        growBar(RunnerShape(i), i, length, mul32(s_.Jikan[i], s_.TickInterval));
        if (s_.Goal[i] == 0 && width(RunnerShape(i)) == length) {
            Rect b = tk_.bounds(RunnerShape(i));
            tk_.setFontColor(RunnerColor(i));
            const std::string arrival = IntText(s_.Jikan[i]) + "秒";
            tk_.textOut(b.left + length + RaceLabelGap, b.top, arrival);
            tk_.announce(RunnerName(i) + "、" + arrival);
            s_.Goal[i] = 1;
        }
    }
    if (allArrived()) {
        tk_.setTimerEnabled(Ctl::Timer1, false);
        s_.KeikaJikan = StoreSingle(Maxinteger(s_.Jikan[1], s_.Jikan[2], s_.Jikan[3]));
        tk_.setCaption(Ctl::JikanLbl, ElapsedLabel(s_.KeikaJikan));
        tk_.setVisible(Ctl::TrialBitBtn, true);
        tk_.announce(ElapsedLabel(s_.KeikaJikan));
    }
}

// ---- Both runs ----

bool Lesson::hasRaceBar(int i) const {
    return s_.BarLength[i] > 0 && s_.Jikan[i] > 0;
}

bool Lesson::takesPart(int i) const {
    return hasRaceBar(i) && s_.Kyori[i] > 0;
}

bool Lesson::allArrived() const {
    for (int i = 1; i <= 3; ++i) {
        if (s_.Goal[i] == 0)
            return false;
    }
    return true;
}

void Lesson::startRun(Ctl timer) {
    // One run at a time: both runs share the progress fields and the clock.
    tk_.setTimerEnabled(timer == Ctl::Timer1 ? Ctl::Timer2 : Ctl::Timer1, false);
    for (int i = 1; i <= 3; ++i)
        s_.BarProgress[i] = 0.0f;
    tk_.setTimerInterval(timer, s_.TickInterval);
    tk_.setTimerEnabled(timer, true);
    s_.KeikaJikan = 0.0f;
}

void Lesson::growBar(Ctl shape, int i, int length, long double ticksToRun) {
    Rect b = tk_.bounds(shape);
    if (length <= 0 || b.width() >= length)
        return;
    if (ticksToRun > 0) {
        s_.BarProgress[i] = StoreSingle(s_.BarProgress[i] + length / ticksToRun);
    } else {
        // A distance of 0 m takes no time: nothing is left to cover.
        s_.BarProgress[i] = StoreSingle(length);
    }
    int w = Roundoff(s_.BarProgress[i]);
    // The whole bar area turns white, so the track ahead of the bar shows.
    tk_.setBrushColor(clWhite);
    tk_.fillRect(Rect{b.left, b.top, b.left + length, b.bottom});
    tk_.setBrushColor(s_.BackColor);
    tk_.setWidth(shape, std::min(w, length));
}

// ---- Verification mode: alignment ----

void Lesson::TrialBitBtnClick() {
    TrunClear();
    nothingToRun_ = false;
    for (int i = 1; i <= 3; ++i)
        s_.TrunBarLength[i] = 0;
    for (Ctl c : kVerificationControls)
        tk_.setVisible(c, true);
    tk_.setItemIndex(Ctl::ComboBox7, 0);
    tk_.setItemIndex(Ctl::ComboBox8, 0);
    tk_.setCaption(Ctl::Label14, "にそろえる。");
}

void Lesson::ComboBox7Select() {
    // A new quantity voids the alignment drawn before, whose track the list's
    // click has just emptied: its bars must not run on without it, and there
    // is nothing to run until a value is chosen for the new quantity.
    nothingToRun_ = true;
    for (int i = 1; i <= 3; ++i)
        s_.TrunBarLength[i] = 0;
    tk_.setItemIndex(Ctl::ComboBox8, 0);
    switch (tk_.itemIndex(Ctl::ComboBox7)) {
    case 0:
        tk_.setCaption(Ctl::Label14, "にそろえる。　　");
        break;
    case 1:
        tk_.setCaption(Ctl::Label14, "ｍにそろえる。");
        break;
    case 2:
        tk_.setCaption(Ctl::Label14, "秒にそろえる。");
        break;
    default:
        tk_.setCaption(Ctl::Label14, "");
        break;
    }
}

void Lesson::ComboBox8Select() {
    s_.SoroeKyori = 0;
    int quantity = tk_.itemIndex(Ctl::ComboBox7);
    if (quantity == 0)
        return;
    nothingToRun_ = false;
    if (quantity == 1)
        Kyorisoroe();
    else if (quantity == 2)
        Jikansoroe();
    for (int i = 1; i <= 3; ++i)
        tk_.setShapeBrush(TrunShape(i), RunnerColor(i));
}

void Lesson::Kyorisoroe() {
    int index = tk_.itemIndex(Ctl::ComboBox8);
    if (index > 0)
        s_.SoroeKyori = TextToInt(tk_.itemText(Ctl::ComboBox8, index));
    SoroeAtoSyori();
}

void Lesson::Jikansoroe() {
    int index = tk_.itemIndex(Ctl::ComboBox8);
    if (index > 0)
        s_.SoroeJikan = TextToInt(tk_.itemText(Ctl::ComboBox8, index));
    PerRunner<float> sums;
    for (int i = 1; i <= 3; ++i) {
        // A runner without a time covers nothing; a value left by an earlier
        // alignment must not stand in for it.
        if (s_.Jikan[i] != 0)
            s_.SoroeJikanKyori[i] = StoreSingle(
                static_cast<long double>(mul32(s_.SoroeJikan, s_.Kyori[i])) / s_.Jikan[i]);
        else
            s_.SoroeJikanKyori[i] = 0.0f;
        sums[i] = StoreSingle(s_.SoroeJikanKyori[i] + 0.49L);
    }
    s_.SoroeKyori = Roundoff(MaxSingle(sums[1], sums[2], sums[3]));
    if (s_.SoroeKyori <= MaxDistance) {
        SoroeAtoSyori();
    } else {
        // The track shows nothing for this alignment, so there is nothing to
        // run until the user chooses again.
        nothingToRun_ = true;
        const std::string message = "範囲外です。再入力してください。";
        tk_.announce(message);
        tk_.messageBox(message);
    }
}

void Lesson::SoroeAtoSyori() {
    // An aligned distance beyond the track's last scale has nothing to show:
    // drawing the old outlines under its number would mislabel them.
    if (s_.SoroeKyori > MaxDistance)
        return;
    s_.TrunScaleEnd = DistanceChange(s_.SoroeKyori);
    for (int i = 1; i <= 3; ++i) {
        // Only a runner that can run gets a verification bar; the others keep
        // the two-pixel outline at the start of their track.
        if (!takesPart(i))
            s_.TrunBarLength[i] = 0;
        else if (s_.TrunScaleEnd != 0)
            s_.TrunBarLength[i] = BarLengthFor(s_.SoroeKyori, s_.TrunScaleEnd);
    }
    Point labelAt;
    for (int i = 1; i <= 3; ++i) {
        Rect b = tk_.bounds(TrunShape(i));
        tk_.setPenColor(RunnerColor(i));
        tk_.setBrushColor(clWhite);
        tk_.rectangle(Rect{b.left - 1, b.top - 1, b.left + s_.TrunBarLength[i] + 1, b.bottom + 1});
        tk_.setBrushColor(s_.BackColor);
        if (i == 1) {
            // The one distance label stands at the end of runner 1's outline.
            eraseLabel(s_.TrunLabelPos, trunLabelCell_);
            labelAt = Point{b.left + s_.TrunBarLength[1], b.top - LabelRise};
            tk_.setFontColor(clBlack);
            trunLabelCell_ = tk_.textOut(labelAt.x, labelAt.y, IntText(s_.SoroeKyori) + "m");
        }
    }
    s_.TrunLabelPos = labelAt;
}

// ---- Verification mode: the run ----

void Lesson::StartBitBtnClick() {
    if (nothingToRun_)
        return;
    for (int i = 1; i <= 3; ++i)
        s_.Goal[i] = takesPart(i) ? 0 : 1;
    for (int i = 1; i <= 3; ++i) {
        // A runner without a distance needs no time; a value left by an
        // earlier run must not become the final time.
        if (s_.Kyori[i] != 0)
            s_.SoroeKyoriJikan[i] = StoreSingle(
                static_cast<long double>(mul32(s_.SoroeKyori, s_.Jikan[i])) / s_.Kyori[i]);
        else
            s_.SoroeKyoriJikan[i] = 0.0f;
    }
    for (int i = 1; i <= 3; ++i)
        tk_.setWidth(TrunShape(i), 0);
    // The kind of run is the one chosen when it starts: a list left without a
    // current item by editing its text must not switch it halfway.
    distanceRun_ = tk_.itemIndex(Ctl::ComboBox7) == 1;
    startRun(Ctl::Timer2);
}

void Lesson::Timer2Timer() {
    s_.KeikaJikan = AdvanceClock(s_.KeikaJikan, s_.TickInterval);
    tk_.setCaption(Ctl::JikanLbl, ElapsedLabel(s_.KeikaJikan));
    if (distanceRun_)
        Kyoritimer();
    else
        Jikantimer();
}

void Lesson::growVerificationBar(int i) {
    // A runner that takes no part has arrived on every tick, whatever marked
    // it as running since the start.
    if (!takesPart(i)) {
        s_.Goal[i] = 1;
        return;
    }
    growBar(TrunShape(i), i, s_.TrunBarLength[i],
            static_cast<long double>(s_.TickInterval) * s_.SoroeKyoriJikan[i]);
}

void Lesson::Kyoritimer() {
    for (int i = 1; i <= 3; ++i) {
        growVerificationBar(i);
        if (s_.Goal[i] != 0)
            continue;
        int length = s_.TrunBarLength[i];
        // Takes part without a verification bar to finish.
        if (length <= 0) {
            s_.Goal[i] = 1;
        } else if (width(TrunShape(i)) == length) {
            Rect b = tk_.bounds(TrunShape(i));
            tk_.setFontColor(RunnerColor(i));
            const std::string result = FixedText(s_.SoroeKyoriJikan[i]) + "秒";
            tk_.textOut(b.left + length + TrunLabelGap, b.top, result);
            tk_.announce(RunnerName(i) + "、" + result);
            s_.Goal[i] = 1;
        }
    }
    if (allArrived()) {
        tk_.setTimerEnabled(Ctl::Timer2, false);
        s_.KeikaJikan =
            MaxSingle(s_.SoroeKyoriJikan[1], s_.SoroeKyoriJikan[2], s_.SoroeKyoriJikan[3]);
        tk_.setCaption(Ctl::JikanLbl, ElapsedLabel(s_.KeikaJikan));
        tk_.announce(ElapsedLabel(s_.KeikaJikan));
    }
}

void Lesson::Jikantimer() {
    for (int i = 1; i <= 3; ++i)
        growVerificationBar(i);
    tk_.setBrushColor(s_.BackColor);
    if (!(static_cast<long double>(s_.SoroeJikan) < s_.KeikaJikan))
        return;
    tk_.setTimerEnabled(Ctl::Timer2, false);
    for (int i = 1; i <= 3; ++i) {
        int length = s_.TrunBarLength[i];
        if (s_.Goal[i] == 0 && length > 0) {
            Rect b = tk_.bounds(TrunShape(i));
            tk_.setFontColor(RunnerColor(i));
            const std::string result = FixedText(s_.SoroeJikanKyori[i]) + "ｍ";
            tk_.textOut(b.left + length + TrunLabelGap, b.top, result);
            tk_.announce(RunnerName(i) + "、" + result);
            s_.Goal[i] = 1;
        }
    }
    s_.KeikaJikan = StoreSingle(s_.SoroeJikan / 1.0L);
    tk_.setCaption(Ctl::JikanLbl, ElapsedLabel(s_.KeikaJikan));
    tk_.announce(ElapsedLabel(s_.KeikaJikan));
}

} // namespace lesson
