#pragma once
#include <QScrollBar>

#include "ui/toolkit/scroll_codes.h"

// A scroll bar's range, page and position, counted in the owner's units.
// The position can run from minimum to maximum - page + 1 (never below
// minimum). trackPosition is where the thumb is while it is being dragged.
struct ScrollInfo {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    int trackPosition = 0;
};

// A horizontal scroll bar that leaves every move to its owner: a click on
// an arrow, on the trough, a drag, the wheel or an entry of the context
// menu only reports a scroll code (hscroll(code, position)); the bar moves
// when the owner sets a new position with SetScrollInfo. A position set
// straight away ("Scroll here", assistive tools calling setValue) comes as
// SB_THUMBPOSITION and SB_ENDSCROLL. A Dialog forwards hscroll to OnHScroll.
// User-interface thread only.
class ScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit ScrollBar(QWidget* parent = nullptr);

    // Sets range, page and position (trackPosition is ignored) and redraws.
    void SetScrollInfo(const ScrollInfo& info);

    // The last range and page set, the current position and the thumb's
    // track position.
    ScrollInfo GetScrollInfo() const;

    // Enables or disables both arrows and the trough.
    void EnableScrollBar(bool enable);

signals:
    // code is one of the SB_ constants; position is the thumb position for
    // SB_THUMBTRACK and SB_THUMBPOSITION, else the current position.
    void hscroll(int code, int position);

private:
    void OnAction(int action);
    void OnValueChanged(int value);
    ScrollInfo info_;
    bool ownerSetting_ = false;  // inside SetScrollInfo
};
