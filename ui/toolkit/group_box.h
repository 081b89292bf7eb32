#pragma once
#include <QGroupBox>

// A group box drawn the classic dialog way: an etched frame whose top line
// runs through the middle of the title, so the title takes only one line of
// height and controls can start right below it. The controls it frames are
// its siblings, not its children. User-interface thread only.
class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupBox(const QString& title, QWidget* parent = nullptr);

    // Where the title is drawn, in the box's coordinates: half a line in
    // from the left edge, one line high, as wide as the text plus a little
    // air (never wider than the box leaves).
    QRect TitleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
