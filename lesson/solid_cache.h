// Remembers a few rectangles of the drawing surface that are known to hold a
// single colour, so that a fill repeating what is already there can be
// skipped: the race tick whitens the whole bar area every time, and on a
// surface that keeps its drawings that is mostly white already.
#pragma once

#include "state.h"

#include <vector>

namespace lesson {

class SolidCache {
  public:
    // True when r already holds colour c entirely.
    bool covers(const Rect& r, Color c) const {
        for (const auto& s : solids_)
            if (s.color == c && s.r.left <= r.left && s.r.top <= r.top && r.right <= s.r.right &&
                r.bottom <= s.r.bottom)
                return true;
        return false;
    }
    // Records that r now holds c; what r overlaps is no longer known.
    void painted(const Rect& r, Color c) {
        forget(r);
        if (solids_.size() == kMax)
            solids_.erase(solids_.begin());
        solids_.push_back({r, c});
    }
    // Something of unknown colours was painted over r.
    void forget(const Rect& r) {
        for (size_t i = 0; i < solids_.size();)
            if (intersects(solids_[i].r, r))
                solids_.erase(solids_.begin() + static_cast<long>(i));
            else
                ++i;
    }
    void clear() { solids_.clear(); }

  private:
    static bool intersects(const Rect& a, const Rect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
    struct Solid {
        Rect r;
        Color color;
    };
    static constexpr size_t kMax = 16;
    std::vector<Solid> solids_;
};

} // namespace lesson
