#include "tools/tool_options.h"

#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "data/number_text.h"

namespace {

bool ReadNumber(const std::string& option, const std::string& text, double& value,
                std::string& error) {
    if (ParseWholeDouble(text, value)) return true;
    error = "bad value for " + option + ": \"" + text + "\" is not a number";
    return false;
}

bool ReadTriggerLevel(const std::string& text, int& level, std::string& error) {
    double value = 0.0;
    if (!ParseWholeDouble(text, value) || value < 0.0 || value > 100.0 ||
        value != static_cast<double>(static_cast<int>(value))) {
        error = "bad value for --trigger: \"" + text + "\" is not auto or a whole number from 0 to 100";
        return false;
    }
    level = static_cast<int>(value);
    return true;
}

bool ReadFormat(const std::string& text, OutputFormat& format, std::string& error) {
    if (text == "par") {
        format = OutputFormat::Par;
    } else if (text == "table") {
        format = OutputFormat::Table;
    } else if (text == "json") {
        format = OutputFormat::Json;
    } else if (text == "csv") {
        format = OutputFormat::Csv;
    } else {
        error = "bad value for --format: \"" + text + "\" (par, table, json or csv)";
        return false;
    }
    return true;
}

double* NumberOption(const std::string& name, AnalysisParameters& p) {
    if (name == "--start") return &p.startFrequency;
    if (name == "--end") return &p.endFrequency;
    if (name == "--interval") return &p.interval;
    if (name == "--speed") return &p.speedAdjust;
    if (name == "--low") return &p.lowNominal;
    if (name == "--high") return &p.highNominal;
    return nullptr;
}

// The ring and project options that take a value.
bool RingValueOption(const std::string& name) {
    static const std::set<std::string> names = {"--bells", "--scale",   "--temperament", "--stretch",
                                                "--pitch", "--anchor",  "--units",       "--project",
                                                "--bell",  "--pass",    "--extract"};
    return names.count(name) != 0;
}

bool ReadWhole(const std::string& name, const std::string& text, int lowest, int& value, std::string& error) {
    double number = 0.0;
    if (!ParseWholeDouble(text, number) || number < lowest || number > 64 ||
        number != static_cast<double>(static_cast<int>(number))) {
        error = "bad value for " + name + ": \"" + text + "\" is not a whole number from " + std::to_string(lowest) +
                " to 64";
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool ApplyRingValue(const std::string& name, const std::string& value, RingOptions& r, std::string& error) {
    r.given.insert(name);
    if (name == "--bells") return ReadWhole(name, value, 1, r.bells, error);
    if (name == "--anchor") return ReadWhole(name, value, 0, r.anchor, error);
    if (name == "--bell") return ReadWhole(name, value, 1, r.bell, error);
    if (name == "--stretch") return ReadNumber(name, value, r.stretchCents, error);
    if (name == "--pitch") {
        if (!ReadNumber(name, value, r.pitchHz, error)) return false;
        if (r.pitchHz >= 300.0 && r.pitchHz <= 600.0) return true;
        error = "bad value for --pitch: \"" + value + "\" is not a reference A from 300 to 600 Hz";
        return false;
    }
    if (name == "--scale") {
        r.scale = value == "chromatic" ? RingScale::Chromatic : RingScale::Major;
        if (value == "major" || value == "chromatic") return true;
        error = "bad value for --scale: \"" + value + "\" (major or chromatic)";
        return false;
    }
    if (name == "--units") {
        if (ParseTuningUnits(value, r.units)) return true;
        error = "bad value for --units: \"" + value + "\" (cents or sixteenths)";
        return false;
    }
    std::string& target = name == "--temperament" ? r.temperament
                          : name == "--project"   ? r.project
                          : name == "--pass"      ? r.pass
                                                  : r.extract;
    if (value.empty()) {
        error = "empty value for " + name;
        return false;
    }
    target = value;
    return true;
}

bool TakesValue(const std::string& name, ToolOptions& options) {
    if (RingValueOption(name)) return true;
    return NumberOption(name, options.parameters) != nullptr || name == "--trigger" || name == "--calibrate" ||
           name == "--format" || name == "-o" || name == "--output" || name == "--out-dir" ||
           name == "--spectrum" || name == "--plot" || name == "--ideal" || name == "--synthesise";
}

bool ApplyValue(const std::string& name, const std::string& value, ToolOptions& o,
                std::string& error) {
    if (RingValueOption(name)) return ApplyRingValue(name, value, o.ring, error);
    if (name == "--format") o.formatGiven = true;
    if (double* number = NumberOption(name, o.parameters)) return ReadNumber(name, value, *number, error);
    if (name == "--trigger") {
        o.autoTrigger = value == "auto";
        return o.autoTrigger || ReadTriggerLevel(value, o.triggerLevel, error);
    }
    if (name == "--format") return ReadFormat(value, o.format, error);
    if (name == "--calibrate") {
        if (!ReadNumber(name, value, o.calibrateHz, error)) return false;
        if (o.calibrateHz > 0.0 && o.calibrateHz <= 22000.0) return true;
        error = "bad value for --calibrate: \"" + value + "\" is not a frequency from 0 to 22000 Hz";
        return false;
    }
    std::string& target = name == "--out-dir"      ? o.outputFolder
                          : name == "--synthesise" ? o.synthesisFile
                          : name == "--ideal"    ? o.ideal
                          : name == "--spectrum" ? o.spectrumFile
                          : name == "--plot"     ? o.plotFile
                                                 : o.outputFile;
    if (value.empty()) {
        error = "empty value for " + name;
        return false;
    }
    target = value;
    return true;
}

bool ApplyFlag(const std::string& name, ToolOptions& o, std::string& error) {
    if (name == "--no-trigger") {
        o.waitForTrigger = false;
    } else if (name == "--as-tuned") {
        o.asTuned = true;
    } else if (name == "--ring") {
        o.ring.ring = true;
    } else if (name == "--help" || name == "-h") {
        o.help = true;
    } else if (name == "--version") {
        o.version = true;
    } else {
        error = "unknown option " + name;
        return false;
    }
    return true;
}

}  // namespace

bool ParseToolOptions(const std::vector<std::string>& args, ToolOptions& options,
                      std::string& error) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (!TakesValue(name, options)) {
            if (equals != std::string::npos) {
                error = "option " + name + " takes no value";
                return false;
            }
            if (!ApplyFlag(name, options, error)) return false;
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            error = "option " + name + " needs a value";
            return false;
        }
        if (!ApplyValue(name, value, options, error)) return false;
    }
    return true;
}

std::string OutputNameFor(const std::string& input, OutputFormat format) {
    const char* extension = format == OutputFormat::Par     ? ".par"
                            : format == OutputFormat::Table ? ".txt"
                            : format == OutputFormat::Csv   ? ".csv"
                                                            : ".json";
    std::string stem = std::filesystem::path(input).stem().string();
    if (stem.empty()) stem = "result";
    return stem + extension;
}

namespace {

// What --ring and --project allow; the rest of the checks as without them.
bool CheckRingUsage(const ToolOptions& o, std::string& error) {
    const RingOptions& r = o.ring;
    const bool perFileOutput = !o.outputFolder.empty() || !o.spectrumFile.empty() || !o.plotFile.empty() ||
                               !o.synthesisFile.empty() || o.calibrateHz > 0.0;
    const bool ringShape = r.given.count("--bells") || r.given.count("--scale") || r.given.count("--temperament") ||
                           r.given.count("--stretch") || r.given.count("--pitch") || r.given.count("--anchor") ||
                           r.given.count("--units");
    if (r.ring && !r.project.empty()) {
        error = "--ring and --project cannot be used together";
    } else if (r.ring) {
        if (o.inputs.empty()) error = "--ring needs the bells' files, treble first";
        else if (perFileOutput) error = "--out-dir, --spectrum, --plot, --synthesise and --calibrate cannot be used with --ring";
        else if (r.bells > 0 && static_cast<int>(o.inputs.size()) > r.bells) error = "more files than --bells";
        else if (r.given.count("--bell") || r.given.count("--pass") || r.given.count("--extract"))
            error = "--bell, --pass and --extract go with --project";
    } else if (!r.project.empty()) {
        if (perFileOutput) error = "--out-dir, --spectrum, --plot, --synthesise and --calibrate cannot be used with --project";
        else if (!r.extract.empty() && (r.bell == 0 || r.pass.empty() || !o.inputs.empty()))
            error = "--extract needs --bell and --pass, and no input file";
        else if (r.extract.empty() && !o.inputs.empty() && (r.bell == 0 || o.inputs.size() != 1))
            error = "--project keeps one file at a time as the measurement of one --bell";
        else if (o.inputs.empty() && r.extract.empty() && (r.bell != 0 || !r.pass.empty()))
            error = "--bell and --pass need the file to keep";
    } else if (ringShape || r.bell != 0 || !r.pass.empty() || !r.extract.empty()) {
        error = "the ring's options go with --ring or --project";
    }
    return error.empty();
}

}  // namespace

bool CheckToolUsage(const ToolOptions& o, std::string& error) {
    const std::size_t inputs = o.inputs.size();
    if (!CheckRingUsage(o, error)) return false;
    if (o.ring.ring || !o.ring.project.empty()) return true;
    if (inputs == 0) {
        error = "no input file";
    } else if (!o.outputFile.empty() && !o.outputFolder.empty()) {
        error = "-o and --out-dir cannot be used together";
    } else if (!o.outputFile.empty() && inputs > 1) {
        error = "-o writes one result; use --out-dir for several input files";
    } else if (!o.spectrumFile.empty() && inputs > 1) {
        error = "--spectrum writes the spectrum of one input file";
    } else if (!o.plotFile.empty() && inputs > 1) {
        error = "--plot draws the spectrum of one input file";
    } else if (!o.synthesisFile.empty() && inputs > 1) {
        error = "--synthesise builds the bell of one input file";
    } else if (o.asTuned && o.synthesisFile.empty()) {
        error = "--as-tuned goes with --synthesise";
    } else if (o.calibrateHz > 0.0 && (inputs > 1 || !o.outputFolder.empty() || !o.spectrumFile.empty() ||
                                       !o.plotFile.empty())) {
        error = "--calibrate measures one file, without --out-dir, --spectrum or --plot";
    } else if (o.calibrateHz == 0.0 && o.format == OutputFormat::Par && inputs > 1 && o.outputFolder.empty()) {
        error = "several partials files cannot share standard output; use --out-dir";
    }
    if (!error.empty()) return false;
    if (o.outputFolder.empty()) return true;
    struct stat info {};
    if (stat(o.outputFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = "--out-dir " + o.outputFolder + " is not a folder";
        return false;
    }
    std::set<std::string> names;
    for (const std::string& input : o.inputs) {
        const std::string name = OutputNameFor(input, o.format);
        if (!names.insert(name).second) {
            error = "two input files would both write " + o.outputFolder + "/" + name;
            return false;
        }
    }
    return true;
}
