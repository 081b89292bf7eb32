#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ring/ring.h"
#include "ui/toolkit/dialog.h"

// The dialogs of a tower's project: the ring's settings, one bell's details
// and where a strike is kept. Each is built on the stack with no parent and
// run with DoModal ("OK" IDOK, the default; "Cancel" IDCANCEL); fields are
// read back only after IDOK. User-interface thread.

// "New project" (name, place and number of bells only) or "Ring settings"
// (everything the ring holds but the inner ideal, which the tuning panel
// chooses). A founder's file named for the temperament is read on OK; a bad
// one is refused with its line and the dialog stays open.
class RingSettingsDialog : public Dialog {
public:
    RingSettingsDialog(const RingSettings& ring, bool newProject);
    RingSettings ring;

    static constexpr int kName = 1500, kPlace = 1501, kBells = 1502, kPitch = 1503, kScale = 1504,
                         kTemperament = 1505, kFounderFile = 1506, kStretch = 1507, kAnchor = 1508,
                         kTolerance = 1509;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    bool newProject_;
    std::string founderFile_;
};

// A bell's details: label, weight (kg), diameter (mm) and a target typed for
// it (cents above the tenor), each may be left empty, and "may not be
// tuned".
class BellDetailsDialog : public Dialog {
public:
    explicit BellDetailsDialog(const RingBell& bell);
    RingBell bell;

    static constexpr int kLabel = 1520, kWeight = 1521, kDiameter = 1522, kTarget = 1523, kFixed = 1524;

protected:
    void DoDataExchange(DataExchange& dx) override;
};

// "Save report" with a project open: the report of the bell on screen
// (kThisBell) or of the whole ring (kWholeRing, checked at first).
class ReportChoiceDialog : public Dialog {
public:
    ReportChoiceDialog();
    bool wholeRing = true;

    static constexpr int kThisBell = 1560, kWholeRing = 1561;

protected:
    void DoDataExchange(DataExchange& dx) override;
};

// "Keep": the bell (a list of the ring's bells, their labels beside) and the
// pass label; changing the bell proposes its next label through
// `nextLabel`. An empty label is refused.
class KeepDialog : public Dialog {
public:
    KeepDialog(const std::vector<RingBell>& bells, int bell, std::function<std::string(int)> nextLabel);
    int bell;
    std::string pass;

    static constexpr int kBell = 1540, kPass = 1541;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    std::function<std::string(int)> nextLabel_;
};
