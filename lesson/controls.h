// The window's controls, addressed by their layout names, and the stored layout
// that both the real window and the headless one are built from.
#pragma once

#include "state.h"

#include <string>
#include <vector>

namespace lesson {

enum class Ctl {
    Form1,
    RunnerLbl1,
    RunnerLbl2,
    RunnerLbl3,
    JikanLbl,
    RunnerShape1,
    RunnerShape2,
    RunnerShape3,
    TrunLbl1,
    TrunLbl2,
    TrunLbl3,
    TrunShape1,
    TrunShape2,
    TrunShape3,
    Label13,
    Label14,
    RunnerBox1,
    Label1,
    Label2,
    Label3,
    Label4,
    ComboBox1,
    ComboBox2,
    RunnerBox2,
    Label5,
    Label6,
    Label7,
    Label8,
    ComboBox3,
    ComboBox4,
    RunnerBox3,
    Label9,
    Label10,
    Label11,
    Label12,
    ComboBox5,
    ComboBox6,
    RedyGoBtn,
    Syomei,
    RetryBitBtn,
    TrialBitBtn,
    ComboBox7,
    ComboBox8,
    StartBitBtn,
    OwaruBitBtn,
    Timer1,
    Timer2,
    Count
};

enum class Kind { Window, Label, Shape, GroupBox, ComboBox, Button, BitBtn, StaticText, Timer };

enum class Event { OnClick, OnSelect, OnCloseUp, OnEnter, OnTimer };

// Colours the system supplies rather than the layout.
constexpr Color clWindowText = 0x000000;
constexpr Color clWindow = 0xFFFFFF;
constexpr Color clBtnFace = 0xF0F0F0;

// The faces the layout names; each toolkit maps them onto fonts it has.
enum class Face { Gothic, Mincho, Century };
// The name the layout gives a face.
const char* FaceName(Face face);

// Geometry of the tracks and their labels, in client pixels.
constexpr int TrackWidth = 800;   // a full bar
constexpr int MaxDistance = 1000; // the longest distance a track can show, in metres
constexpr int LabelRise = 22;     // a distance label stands this far above its bar's top
constexpr int RaceLabelGap = 32;  // an arrival label starts this far past a race bar's end
constexpr int TrunLabelGap = 16;  // a result label starts this far past a verification bar's end
// The drawing surface's character height before the lesson sets a size: 12 pt.
constexpr int SurfaceFontPixels = 16;

struct ControlDef {
    Ctl id;
    const char* name;
    Kind kind;
    Ctl parent;
    int left, top, width, height;
    const char* caption;
    Face face;
    int fontPixels; // 0: the parent's font
    bool bold, italic;
    Color fontColor;
    bool visible;   // at creation
    int tabOrder;   // -1: not a tab stop
    int itemHeight; // lists only
    Color penColor; // shapes only
};

// Every control in creation order (children right after their box).
const std::vector<ControlDef>& Layout();
const ControlDef& LayoutOf(Ctl c);
const char* NameOf(Ctl c);
// What screen readers call a control without a caption of its own (the
// lists and the bars); nullptr for the others, which are named by their captions.
const char* AccessibleName(Ctl c);

// The controls the Tab key visits, in order: the window's tab stops by their
// tab order, a group box standing for its own tab stops in theirs. Labels and
// static texts take no focus and are left out.
std::vector<Ctl> TabChain();

// Fixed list contents; item 0 is the empty item.
const std::vector<std::string>& ListItems(Ctl list);

// Runner helpers: runner i = 1..3.
Ctl RunnerShape(int i);
Ctl TrunShape(int i);
Ctl DistanceList(int i);
Ctl TimeList(int i);

constexpr int ClientWidth = 1024;
constexpr int ClientHeight = 768;
constexpr int WindowWidth = 1024; // outer size, frame included
constexpr int WindowHeight = 768;
// The client size stored with the layout, before start-up sizes the window.
constexpr int CreationClientWidth = 876;
constexpr int CreationClientHeight = 669;
constexpr const char* AppTitle = "速さの比べ方";

} // namespace lesson
