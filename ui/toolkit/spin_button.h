#pragma once
#include <QWidget>

class QToolButton;

// A horizontal up-down control without a buddy: a left and a right arrow
// that step a position between a lower and an upper limit (no wrap). Each
// step, by click (with auto-repeat) or by the Left/Right keys when focused,
// reports hscroll(SB_THUMBPOSITION, new position); letting go of an arrow
// reports hscroll(SB_ENDSCROLL, position). A step at a limit still reports,
// with the position unchanged. A Dialog forwards hscroll to OnHScroll.
// User-interface thread only.
class SpinButton : public QWidget {
    Q_OBJECT
public:
    explicit SpinButton(QWidget* parent = nullptr);

    // Limits of the position; the current position is clamped into them.
    void SetRange(int lower, int upper);
    int Lower() const { return lower_; }
    int Upper() const { return upper_; }

    // Sets the position, clamped to the range; reports nothing.
    void SetPos(int position);
    int GetPos() const { return position_; }

    // One step as from the arrows: -1 left, +1 right.
    void Step(int direction);

signals:
    void hscroll(int code, int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* left_;
    QToolButton* right_;
    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
};
