#include "project/ring_rows.h"

#include <array>
#include <cmath>
#include <string_view>
#include <utility>

namespace {

// The words the file keeps for the enumerations, in their order.
constexpr std::array<std::string_view, 2> kScaleWords = {"major", "chromatic"};
constexpr std::array<std::string_view, 4> kTemperamentWords = {"equal", "just", "meantone", "founder"};

// "" for a value outside the enumeration, which the table's CHECK refuses.
template <typename Enum, std::size_t N>
std::string_view WordOf(const std::array<std::string_view, N>& words, Enum value) {
    const auto index = static_cast<std::size_t>(value);
    return index < N ? words[index] : std::string_view{};
}

template <typename Enum, std::size_t N>
bool FromWord(const std::array<std::string_view, N>& words, const std::string& word, Enum& value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (words[i] == word) {
            value = static_cast<Enum>(i);
            return true;
        }
    }
    return false;
}

bool WriteFounderTargets(const SqliteDatabase& db, const std::vector<FounderTarget>& targets) {
    if (!db.Execute("DELETE FROM founder_target")) return false;
    SqliteStatement insert(db, "INSERT INTO founder_target (position, bell, cents) VALUES (?, ?, ?)");
    for (std::size_t i = 0; i < targets.size(); ++i) {
        insert.Reset();
        if (!insert.BindAll(static_cast<std::int64_t>(i), targets[i].bell, targets[i].cents) || !insert.Run()) {
            return false;
        }
    }
    return insert.Ok();
}

bool ReadFounderTargets(const SqliteDatabase& db, std::vector<FounderTarget>& targets) {
    SqliteStatement select(db, "SELECT bell, cents FROM founder_target ORDER BY position");
    targets.clear();
    SqliteStep step;
    while ((step = select.Step()) == SqliteStep::Row) {
        targets.push_back({static_cast<int>(select.Int(0)), select.Real(1)});
    }
    return step == SqliteStep::Done;
}

}  // namespace

bool RingAcceptable(const RingSettings& ring) {
    for (const FounderTarget& target : ring.founderTargets) {
        if (!std::isfinite(target.cents)) return false;
    }
    return ring.bellCount >= 1 && ring.bellCount <= 64 && ring.anchorBell >= 0 &&
           ring.anchorBell <= ring.bellCount && std::isfinite(ring.referencePitchHz) && ring.referencePitchHz > 0 &&
           std::isfinite(ring.stretchCentsPerOctave) && std::isfinite(ring.toleranceCents) &&
           ring.toleranceCents >= 0;
}

bool StoreRing(const SqliteDatabase& db, const RingSettings& ring) {
    SqliteStatement replace(db,
                            "INSERT OR REPLACE INTO ring (id, name, place, bell_count, reference_pitch_hz, scale, "
                            "temperament, founder_file, stretch_cents_per_octave, anchor_bell, tolerance_cents, "
                            "inner_ideal) VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    return replace.BindAll(ring.name, ring.place, ring.bellCount, ring.referencePitchHz,
                           WordOf(kScaleWords, ring.scale),
                           WordOf(kTemperamentWords, ring.temperament), ring.founderFile,
                           ring.stretchCentsPerOctave, ring.anchorBell, ring.toleranceCents, ring.innerIdeal) &&
           replace.Run() && WriteFounderTargets(db, ring.founderTargets);
}

bool LoadRing(const SqliteDatabase& db, RingSettings& ring) {
    SqliteStatement select(db,
                           "SELECT name, place, bell_count, reference_pitch_hz, scale, temperament, founder_file, "
                           "stretch_cents_per_octave, anchor_bell, tolerance_cents, inner_ideal FROM ring WHERE id = 1");
    if (select.Step() != SqliteStep::Row) return false;
    RingSettings read;
    read.name = select.Text(0);
    read.place = select.Text(1);
    read.bellCount = static_cast<int>(select.Int(2));
    read.referencePitchHz = select.Real(3);
    read.founderFile = select.Text(6);
    read.stretchCentsPerOctave = select.Real(7);
    read.anchorBell = static_cast<int>(select.Int(8));
    read.toleranceCents = select.Real(9);
    read.innerIdeal = select.Text(10);
    if (!FromWord(kScaleWords, select.Text(4), read.scale) ||
        !FromWord(kTemperamentWords, select.Text(5), read.temperament) ||
        !ReadFounderTargets(db, read.founderTargets)) {
        return false;
    }
    ring = std::move(read);
    return true;
}

bool MatchBellRows(const SqliteDatabase& db, int bellCount) {
    SqliteStatement drop(db, "DELETE FROM bell WHERE number > ?");
    SqliteStatement add(db, "INSERT OR IGNORE INTO bell (number, label, may_not_be_tuned) VALUES (?, '', 0)");
    if (!drop.BindAll(bellCount) || !drop.Run()) return false;
    for (int number = 1; number <= bellCount; ++number) {
        add.Reset();
        if (!add.BindAll(number) || !add.Run()) return false;
    }
    return true;
}

bool StoreBell(const SqliteDatabase& db, const RingBell& bell) {
    SqliteStatement update(db,
                           "UPDATE bell SET label = ?, weight_kg = ?, diameter_mm = ?, target_cents = ?, "
                           "may_not_be_tuned = ? WHERE number = ?");
    return update.BindAll(bell.label, bell.weightKg, bell.diameterMm, bell.targetCents, bell.mayNotBeTuned ? 1 : 0,
                          bell.number) &&
           update.Run();
}

bool LoadBells(const SqliteDatabase& db, std::vector<RingBell>& bells) {
    SqliteStatement select(db,
                           "SELECT number, label, weight_kg, diameter_mm, target_cents, may_not_be_tuned "
                           "FROM bell ORDER BY number");
    std::vector<RingBell> read;
    SqliteStep step;
    while ((step = select.Step()) == SqliteStep::Row) {
        read.push_back({static_cast<int>(select.Int(0)), select.Text(1), select.OptionalReal(2),
                        select.OptionalReal(3), select.OptionalReal(4), select.Int(5) != 0});
    }
    if (step != SqliteStep::Done) return false;
    bells = std::move(read);
    return true;
}
