#include "project/kept_ring.h"

std::int16_t ReadKeptRing(const Project& project, KeptRing& kept) {
    kept = KeptRing{};
    std::int16_t code = project.ReadRing(kept.ring);
    if (code == ProjectDone) code = project.ReadBells(kept.bells);
    for (int bell = 1; code == ProjectDone && bell <= kept.ring.bellCount; ++bell) {
        PassSummary latest;
        code = project.LatestPass(bell, latest);
        if (code == ProjectNoSuchPass) {
            code = ProjectDone;
            continue;
        }
        Measurement m;
        if (code == ProjectDone) code = project.Load(latest.id, m);
        if (code != ProjectDone) break;
        kept.measures.push_back(MeasureFromReport(bell, m.source, m.tuning));
        kept.latest.push_back({bell, latest.id, std::move(m.pass), std::move(m.time), std::move(m.source),
                               std::move(m.tuning)});
    }
    return code;
}
