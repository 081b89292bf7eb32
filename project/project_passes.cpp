#include "project/project.h"

#include <algorithm>
#include <string_view>

#include "project/measurement_rows.h"

namespace {

constexpr std::string_view kFirstPass = "as received";
constexpr std::string_view kCutPrefix = "cut ";

// N of a label "cut N" (decimal digits only, at most nine), or 0.
int CutNumber(std::string_view label) {
    if (label.size() <= kCutPrefix.size() || label.size() > kCutPrefix.size() + 9 ||
        label.substr(0, kCutPrefix.size()) != kCutPrefix) {
        return 0;
    }
    int number = 0;
    for (char c : label.substr(kCutPrefix.size())) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

bool PassExists(const SqliteDatabase& db, int bell, const std::string& pass, bool& exists) {
    SqliteStatement select(db, "SELECT 1 FROM measurement WHERE bell = ? AND pass = ?");
    if (!select.BindAll(bell, pass)) return false;
    const SqliteStep step = select.Step();
    exists = step == SqliteStep::Row;
    return step != SqliteStep::Failed;
}

// Adds each pass's warning codes, both lists in id order.
bool SelectWarningCodes(const SqliteDatabase& db, int bell, std::vector<PassSummary>& passes) {
    SqliteStatement select(db,
                           "SELECT w.measurement, w.code FROM tuning_warning w JOIN measurement m "
                           "ON m.id = w.measurement WHERE m.bell = ? ORDER BY w.measurement, w.position");
    if (!select.BindAll(bell)) return false;
    std::size_t at = 0;
    SqliteStep step;
    while ((step = select.Step()) == SqliteStep::Row) {
        while (at < passes.size() && passes[at].id < select.Int(0)) ++at;
        if (at < passes.size() && passes[at].id == select.Int(0)) passes[at].warnings.push_back(select.Text(1));
    }
    return step == SqliteStep::Done;
}

bool SelectPasses(const SqliteDatabase& db, int bell, std::vector<PassSummary>& passes) {
    SqliteStatement select(db,
                           "SELECT m.id, m.pass, m.time, m.source, t.nominal_hz FROM measurement m "
                           "JOIN partial_table t ON t.measurement = m.id WHERE m.bell = ? ORDER BY m.id");
    if (!select.BindAll(bell)) return false;
    passes.clear();
    SqliteStep step;
    while ((step = select.Step()) == SqliteStep::Row) {
        passes.push_back({select.Int(0), select.Text(1), select.Text(2), select.Text(3), select.Real(4), {}});
    }
    return step == SqliteStep::Done && SelectWarningCodes(db, bell, passes);
}

}  // namespace

std::int16_t Project::Keep(const Measurement& measurement, std::int64_t& id) {
    if (const std::int16_t refusal = MayChange(); refusal != ProjectDone) return refusal;
    if (measurement.pass.empty()) return ProjectPassUnnamed;
    SqliteTransaction change(db_, SqliteLock::Write);
    if (!change.Began()) return FailureResult();
    if (const std::int16_t refusal = CheckBell(measurement.bell); refusal != ProjectDone) return refusal;
    bool taken = false;
    if (!PassExists(db_, measurement.bell, measurement.pass, taken)) return FailureResult();
    if (taken) return ProjectPassTaken;
    std::int64_t newId = 0;
    if (!InsertMeasurement(db_, measurement, newId) || !change.Commit()) return FailureResult();
    id = newId;
    return ProjectDone;
}

std::int16_t Project::NextPassLabel(int bell, std::string& label) const {
    std::vector<PassSummary> passes;
    if (const std::int16_t result = Passes(bell, passes); result != ProjectDone) return result;
    if (passes.empty()) {
        label = kFirstPass;
        return ProjectDone;
    }
    int largest = 0;
    for (const PassSummary& pass : passes) largest = std::max(largest, CutNumber(pass.pass));
    label = std::string(kCutPrefix) + std::to_string(static_cast<long long>(largest) + 1);
    return ProjectDone;
}

std::int16_t Project::Passes(int bell, std::vector<PassSummary>& passes) const {
    if (!IsOpen()) return ProjectNotOpen;
    SqliteTransaction read(db_, SqliteLock::Read);
    if (!read.Began()) return FailureResult();
    if (const std::int16_t refusal = CheckBell(bell); refusal != ProjectDone) return refusal;
    std::vector<PassSummary> found;
    if (!SelectPasses(db_, bell, found)) return FailureResult();
    passes = std::move(found);
    return ProjectDone;
}

std::int16_t Project::LatestPass(int bell, PassSummary& pass) const {
    std::vector<PassSummary> passes;
    if (const std::int16_t result = Passes(bell, passes); result != ProjectDone) return result;
    if (passes.empty()) return ProjectNoSuchPass;
    pass = std::move(passes.back());
    return ProjectDone;
}

std::int16_t Project::Load(std::int64_t id, Measurement& measurement) const {
    if (!IsOpen()) return ProjectNotOpen;
    SqliteTransaction read(db_, SqliteLock::Read);
    if (!read.Began()) return FailureResult();
    switch (SelectMeasurement(db_, id, measurement)) {
        case RowsRead::Found: return ProjectDone;
        case RowsRead::Missing: return ProjectNoSuchPass;
        case RowsRead::Failed: break;
    }
    return FailureResult();
}
