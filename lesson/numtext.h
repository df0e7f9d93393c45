// Number texts as the lesson shows them on labels and on the drawing surface.
#pragma once

#include <string>

namespace lesson {

std::string IntText(int value);

// Only ever applied to the fixed numerals of the lists.
int TextToInt(const std::string& text);

// Fixed notation with at most 5 significant digits and exactly 2 decimals,
// rounded on the exact binary value (first dropped digit 5 or more rounds up in
// magnitude); more than 5 integer digits switch to the form 1.2346E5.
std::string FixedText(double value);
// The same from the value's full decimal expansion, without the shortcut that
// FixedText takes for floats below 100000.
std::string FixedTextExact(double value);

// "経過時間" + the value in fixed notation + "秒".
std::string ElapsedLabel(float value);

// The caption of the elapsed-time label while no time is shown.
std::string ClearedElapsedLabel(const std::string& blank);

} // namespace lesson
