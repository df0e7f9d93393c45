// The window services the lesson's handlers use. The real window implements
// them over the desktop toolkit; a headless implementation renders into a
// framebuffer so the lesson can be checked pixel by pixel without a display.
#pragma once

#include "controls.h"
#include "state.h"

#include <string>

namespace lesson {

class Toolkit {
  public:
    virtual ~Toolkit() = default;

    // Controls, addressed by their layout names. Bounds are relative to the
    // parent's client area.
    virtual Rect bounds(Ctl c) const = 0;
    virtual void setWidth(Ctl c, int width) = 0;
    virtual void setVisible(Ctl c, bool visible) = 0;
    virtual void setCaption(Ctl c, const std::string& text) = 0;

    // Lists: -1 means no item is current. A selection made here raises no event.
    virtual int itemIndex(Ctl list) const = 0;
    virtual void setItemIndex(Ctl list, int index) = 0;
    virtual std::string itemText(Ctl list, int index) const = 0;

    virtual void setShapeBrush(Ctl shape, Color color) = 0;

    // Timers. Setting a value a timer already has changes nothing.
    virtual void setTimerInterval(Ctl timer, int ms) = 0;
    virtual void setTimerEnabled(Ctl timer, bool enabled) = 0;

    // The window's drawing surface.
    virtual Color penColor() const = 0;
    virtual void setPenColor(Color c) = 0;
    virtual Color brushColor() const = 0;
    virtual void setBrushColor(Color c) = 0;
    virtual void setFontColor(Color c) = 0;
    virtual void setFontSize(int points) = 0;
    // Text on an opaque cell in the brush colour; returns the cell it covered.
    virtual Rect textOut(int x, int y, const std::string& text) = 0;
    virtual void fillRect(const Rect& r) = 0;
    // One-pixel border in the pen colour, inside in the brush colour.
    virtual void rectangle(const Rect& r) = 0;

    // The window: outer bounds, colour and the repaint that wipes all drawings.
    virtual void setWindowTop(int top) = 0;
    virtual void setWindowLeft(int left) = 0;
    virtual void setWindowHeight(int height) = 0;
    virtual void setWindowWidth(int width) = 0;
    // Changing the colour also sets the surface's brush to it.
    virtual void setWindowColor(Color c) = 0;
    virtual void refresh() = 0;

    // Modal: returns once the user has closed it; timers tick on meanwhile.
    virtual void messageBox(const std::string& text) = 0;
    // The event loop ends once the current handler has returned.
    virtual void requestTermination() = 0;

    // Said to the user by a screen reader as it happens (an arrival, a
    // result, the end of a run), without moving the focus.
    virtual void announce(const std::string& text) = 0;
};

} // namespace lesson
