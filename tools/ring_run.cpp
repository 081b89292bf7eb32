#include "tools/ring_run.h"

#include <cstdio>

#include "data/comma_lines.h"
#include "data/number_text.h"
#include "data/safe_save.h"
#include "data/wave_file.h"
#include "project/kept_ring.h"
#include "project/local_time.h"
#include "project/project.h"
#include "ring/inner_tuning.h"
#include "ring/ring_text.h"
#include "ring/scale_targets.h"
#include "tools/analyse_tool.h"
#include "tools/bell_analysis.h"
#include "tools/ring_output.h"
#include "tuning/tuning_text.h"

namespace {

void Say(const std::string& text) { std::fprintf(stderr, "campanor-analyse: %s\n", text.c_str()); }

bool Write(const ToolOptions& o, const std::string& text) {
    if (o.outputFile.empty()) return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (SaveBytesSafely(o.outputFile, text)) return true;
    Say("cannot write " + o.outputFile);
    return false;
}

bool SetTemperament(const std::string& name, RingSettings& ring, std::string& error) {
    ring.founderTargets.clear();
    ring.founderFile.clear();
    if (name == "equal" || name == "just" || name == "meantone") {
        ring.temperament = name == "equal" ? Temperament::Equal : name == "just" ? Temperament::Just : Temperament::Meantone;
        return true;
    }
    std::int16_t code = 0;
    int line = 0;
    if (!ReadFounderTargets(name, ring.founderTargets, code, line)) {
        error = "--temperament " + (line > 0 ? name + ":" + std::to_string(line) : name) + ": " + FounderFileErrorText(code);
        return false;
    }
    ring.temperament = Temperament::Founder;
    ring.founderFile = name;
    return true;
}

// The ring options typed (all of them for a new ring) applied to `ring`.
bool ApplyRingOptions(const ToolOptions& o, bool all, RingSettings& ring, std::string& error) {
    const RingOptions& r = o.ring;
    const auto given = [&](const char* name) { return all || r.given.count(name) != 0; };
    if (given("--bells") && r.bells > 0) ring.bellCount = r.bells;
    if (given("--scale")) ring.scale = r.scale;
    if (given("--stretch")) ring.stretchCentsPerOctave = r.stretchCents;
    if (given("--pitch")) ring.referencePitchHz = r.pitchHz;
    if (given("--anchor")) ring.anchorBell = r.anchor;
    if (all) ring.innerIdeal = o.ideal;
    if (ring.anchorBell > ring.bellCount) {
        error = "--anchor " + std::to_string(ring.anchorBell) + " is beyond the ring of " +
                std::to_string(ring.bellCount) + " bells";
        return false;
    }
    return !given("--temperament") || SetTemperament(r.temperament, ring, error);
}

InnerTuningRow InnerRow(int bell, const std::vector<RingBellResult>& results, const IdealTuning& ideal) {
    for (const RingBellResult& r : results) {
        if (r.bell == bell && r.error.empty()) return MakeInnerTuning(bell, r.tuning, ideal);
    }
    InnerTuningRow row;
    row.bell = bell;
    return row;
}

OutputFormat RingFormat(const ToolOptions& o) {
    return o.formatGiven && o.format != OutputFormat::Par ? o.format : OutputFormat::Table;
}

std::string FormatRing(const ToolOptions& o, const RingSettings& ring, const OuterTuning& outer,
                       const std::vector<RingBellResult>& results, const IdealTuning& ideal) {
    const OutputFormat format = RingFormat(o);
    if (format == OutputFormat::Json) return "{\"ring\":" + RingJson(ring, outer, results) + "}\n";
    std::vector<InnerTuningRow> inner;
    for (const OuterTuningRow& row : outer.rows) inner.push_back(InnerRow(row.bell, results, ideal));
    if (format == OutputFormat::Csv) {
        std::string out = RingCsvHeader();
        for (std::size_t i = 0; i < outer.rows.size(); ++i) out += FormatRingCsvLine(outer.rows[i], inner[i]);
        return out;
    }
    return FormatOuterTuningTable(outer, o.ring.units) +
           FormatInnerTuningTable(inner, InnerFigures::CentsFromNominal, o.ring.units) +
           FormatInnerTuningTable(inner, InnerFigures::Deviation, o.ring.units);
}

// Each latest pass as the tool's results.
std::vector<RingBellResult> LatestResults(const KeptRing& kept) {
    std::vector<RingBellResult> results;
    for (const KeptPass& pass : kept.latest) results.push_back({pass.bell, pass.source, "", pass.tuning});
    return results;
}

// The outer row of `bell` with `measure` in place of its latest.
OuterTuningRow RowWith(const RingSettings& ring, const std::vector<RingBell>& bells, std::vector<BellMeasure> measures,
                       const BellMeasure& measure) {
    std::erase_if(measures, [&](const BellMeasure& m) { return m.bell == measure.bell; });
    measures.push_back(measure);
    const OuterTuning outer = MakeOuterTuning(ring, bells, measures);
    return outer.rows.at(static_cast<std::size_t>(measure.bell - 1));
}

std::string HistoryCsvHeader() {
    std::string out = "bell,pass,time,source,nominal,cents_from_anchor,deviation";
    for (const char* name : {"hum", "prime", "tierce", "quint", "nominal", "superquint", "oct_nom"}) {
        out += std::string(",") + name + "_cents";
    }
    return out + "\n";
}

std::string Field(const std::optional<double>& value) { return value ? FormatShortest(*value) : ""; }


// One pass in the history's table or csv.
std::string HistoryLine(OutputFormat format, TuningUnits units, int bell, const Measurement& m,
                        const OuterTuningRow& row) {
    const InnerTuningRow inner = MakeInnerTuning(bell, m.tuning, IdealTuning{});
    if (format == OutputFormat::Csv) {
        std::string out = std::to_string(bell) + "," + CsvField(m.pass) + "," + m.time + "," + CsvField(m.source) + "," +
                          Field(row.nominalHz) + "," + Field(row.centsFromAnchor) + "," + Field(row.deviationCents);
        for (const InnerPartial& p : inner.partials) {
            out += ',';
            out += Field(p.centsFromNominal);
        }
        return out + "\n";
    }
    const auto shown = [units](const std::optional<double>& v) { return v ? UnitsText(*v, units) : std::string("-"); };
    std::string out = "  " + m.pass + " (" + m.time + ", " + m.source + "): nominal " +
                      (row.nominalHz ? FixedText(*row.nominalHz, 3) + " Hz" : std::string("-")) + ", from anchor " +
                      shown(row.centsFromAnchor) + ", deviation " + shown(row.deviationCents) + "; partials";
    for (const InnerPartial& p : inner.partials) {
        out += ' ';
        out += shown(p.centsFromNominal);
    }
    return out + "\n";
}

int PrintProject(const ToolOptions& o, const Project& project, const IdealTuning& ideal) {
    KeptRing kept;
    if (ReadKeptRing(project, kept) != ProjectDone) {
        Say(project.Path() + ": the project could not be read");
        return kExitFileFailed;
    }
    const RingSettings& ring = kept.ring;
    const std::vector<RingBell>& bells = kept.bells;
    const std::vector<RingBellResult> results = LatestResults(kept);
    const std::vector<BellMeasure>& measures = kept.measures;
    const OuterTuning outer = MakeOuterTuning(ring, bells, measures);
    const OutputFormat format = RingFormat(o);
    std::string out = format == OutputFormat::Json ? "{\"ring\":" + RingJson(ring, outer, results) + ",\"history\":["
                                                   : FormatRing(o, ring, outer, results, ideal);
    if (format == OutputFormat::Csv) out += HistoryCsvHeader();
    for (int bell = 1; bell <= ring.bellCount; ++bell) {
        std::vector<PassSummary> passes;
        if (project.Passes(bell, passes) != ProjectDone) return kExitFileFailed;
        if (format == OutputFormat::Json) {
            if (bell > 1) out += ',';
            out += "{\"bell\":" + std::to_string(bell) + ",\"passes\":[";
        }
        if (format == OutputFormat::Table && !passes.empty()) out += "Bell " + std::to_string(bell) + ":\n";
        for (std::size_t i = 0; i < passes.size(); ++i) {
            Measurement m;
            if (project.Load(passes[i].id, m) != ProjectDone) return kExitFileFailed;
            const OuterTuningRow row = RowWith(ring, bells, measures, MeasureFromReport(bell, m.source, m.tuning));
            if (format == OutputFormat::Json && i > 0) out += ',';
            out += format == OutputFormat::Json ? PassJson(m.pass, m.time, m.source, row, m.tuning)
                                                : HistoryLine(format, o.ring.units, bell, m, row);
        }
        if (format == OutputFormat::Json) out += "]}";
    }
    if (format == OutputFormat::Json) out += "]}\n";
    return Write(o, out) ? kExitOk : kExitFileFailed;
}

int Extract(const ToolOptions& o, const Project& project) {
    std::vector<PassSummary> passes;
    const std::int16_t listed = project.Passes(o.ring.bell, passes);
    if (listed != ProjectDone) {
        Say(ProjectResultText(listed, project.Path()));
        return listed == ProjectNoSuchBell ? kExitUsage : kExitFileFailed;
    }
    for (const PassSummary& pass : passes) {
        if (pass.pass != o.ring.pass) continue;
        Measurement m;
        if (project.Load(pass.id, m) != ProjectDone) return kExitFileFailed;
        if (!SaveWaveFile(o.ring.extract, m.recording)) {
            Say("cannot write " + o.ring.extract);
            return kExitFileFailed;
        }
        const AnalysisParameters& p = m.parameters;
        const std::string again = "--no-trigger --start " + FormatDouble15(p.startFrequency) + " --end " +
                                  FormatDouble15(p.endFrequency) + " --interval " + FormatDouble15(p.interval) +
                                  " --speed " + FormatDouble15(p.speedAdjust) + " --low " + FormatDouble15(p.lowNominal) +
                                  " --high " + FormatDouble15(p.highNominal) + "\n";
        return std::fwrite(again.data(), 1, again.size(), stdout) == again.size() ? kExitOk : kExitFileFailed;
    }
    Say(project.Path() + ": bell " + std::to_string(o.ring.bell) + " has no pass \"" + o.ring.pass + "\"");
    return kExitUsage;
}

// Opens the project, or makes it from the options when it is missing; the
// ring options given are kept in it.
std::int16_t OpenForKeeping(const ToolOptions& o, Project& project, std::string& error) {
    const std::string& path = o.ring.project;
    std::int16_t code = project.Open(path);
    RingSettings ring;
    if (code == ProjectMissing) {
        ring.bellCount = 8;
        if (!ApplyRingOptions(o, true, ring, error)) return ProjectRingRefused;
        return project.Create(path, ring);
    }
    if (code != ProjectOpened || project.ReadRing(ring) != ProjectDone) return code;
    const std::size_t kept = o.ring.given.count("--bell") + o.ring.given.count("--pass") + o.ring.given.count("--project");
    if (o.ring.given.size() == kept) return code;
    if (!ApplyRingOptions(o, false, ring, error)) return ProjectRingRefused;
    const std::int16_t changed = project.ChangeRing(ring);
    if (changed != ProjectDone) error = ProjectResultText(changed, path);
    return changed == ProjectDone ? code : ProjectRingRefused;
}

int KeepPass(const ToolOptions& o, const AnalysisParameters& parameters, const AnalysisRequest& request,
             const IdealTuning& ideal) {
    Project project;
    std::string error;
    const std::int16_t opened = OpenForKeeping(o, project, error);
    if (opened != ProjectOpened) {
        Say(!error.empty() ? error : opened == ProjectOpenedReadOnly ? ProjectResultText(ProjectReadOnly, o.ring.project)
                                                                      : ProjectOpenText(opened, o.ring.project));
        return opened == ProjectRingRefused ? kExitUsage : kExitFileFailed;
    }
    Measurement m;
    m.bell = o.ring.bell;
    m.pass = o.ring.pass;
    if (m.pass.empty() && project.NextPassLabel(m.bell, m.pass) != ProjectDone) {
        Say(ProjectResultText(ProjectNoSuchBell, o.ring.project) + " (bell " + std::to_string(m.bell) + ")");
        return kExitUsage;
    }
    const std::string& file = o.inputs.front();
    AnalysedBell bell;
    if (!AnalyseBellFile(o, parameters, request, ideal, file, bell, error)) {
        Say(file + ": " + error);
        return kExitFileFailed;
    }
    m.time = LocalTimeIso8601(std::chrono::system_clock::now());
    m.source = file;
    m.recording = bell.recording;
    m.parameters = bell.parameters;
    m.table = bell.table;
    m.tuning = bell.tuning;
    std::int64_t id = 0;
    const std::int16_t kept = project.Keep(m, id);
    if (kept != ProjectDone) {
        Say(ProjectResultText(kept, o.ring.project));
        return kept == ProjectNoSuchBell || kept == ProjectPassTaken ? kExitUsage : kExitFileFailed;
    }
    KeptRing ring;
    if (ReadKeptRing(project, ring) != ProjectDone) return kExitFileFailed;
    OuterTuning outer = MakeOuterTuning(ring.ring, ring.bells, ring.measures);
    std::erase_if(outer.rows, [&](const OuterTuningRow& row) { return row.bell != m.bell; });
    std::vector<RingBellResult> results = LatestResults(ring);
    std::erase_if(results, [&](const RingBellResult& r) { return r.bell != m.bell; });
    return Write(o, FormatRing(o, ring.ring, outer, results, ideal)) ? kExitOk : kExitFileFailed;
}

}  // namespace

int RunRing(const ToolOptions& options, const AnalysisParameters& parameters, const AnalysisRequest& request,
            const IdealTuning& ideal) {
    const int files = static_cast<int>(options.inputs.size());
    RingSettings ring;
    ring.bellCount = std::max(options.ring.bells, files);
    std::string error;
    if (!ApplyRingOptions(options, true, ring, error)) {
        Say(error);
        return kExitUsage;
    }
    std::vector<RingBellResult> results;
    std::vector<BellMeasure> measures;
    int status = kExitOk;
    for (int i = 0; i < files; ++i) {
        RingBellResult result{ring.bellCount - files + 1 + i, options.inputs[static_cast<std::size_t>(i)], "", {}};
        AnalysedBell bell;
        if (AnalyseBellFile(options, parameters, request, ideal, result.file, bell, result.error)) {
            result.tuning = bell.tuning;
            measures.push_back(MeasureFromReport(result.bell, result.file, result.tuning));
        } else {
            Say(result.file + ": " + result.error);
            status = kExitFileFailed;
        }
        results.push_back(result);
    }
    const OuterTuning outer = MakeOuterTuning(ring, {}, measures);
    return Write(options, FormatRing(options, ring, outer, results, ideal)) ? status : kExitFileFailed;
}

int RunProject(const ToolOptions& options, const AnalysisParameters& parameters, const AnalysisRequest& request,
               const IdealTuning& ideal) {
    if (!options.inputs.empty()) return KeepPass(options, parameters, request, ideal);
    Project project;
    const std::int16_t code = project.Open(options.ring.project);
    if (code != ProjectOpened && code != ProjectOpenedReadOnly) {
        Say(ProjectOpenText(code, options.ring.project));
        return kExitFileFailed;
    }
    return options.ring.extract.empty() ? PrintProject(options, project, ideal) : Extract(options, project);
}
