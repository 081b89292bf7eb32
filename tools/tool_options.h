#pragma once
#include <set>
#include <string>
#include <vector>

#include "cycle/analysis_parameters.h"
#include "ring/ring.h"
#include "ring/tuning_units.h"

// Command line of campanor-analyse. Defaults are the main window's.

enum class OutputFormat { Par, Table, Json, Csv };

// The ring and project options (--ring, --project and what goes with them).
struct RingOptions {
    bool ring = false;                       // --ring: the files are a ring's bells, treble first
    int bells = 0;                           // --bells N; 0 = not given
    RingScale scale = RingScale::Major;      // --scale major|chromatic
    std::string temperament = "equal";       // --temperament equal|just|meantone|FILE
    double stretchCents = 0.0;               // --stretch, cents per octave
    double pitchHz = 440.0;                  // --pitch, the reference A
    int anchor = 0;                          // --anchor N; 0 = the tenor
    TuningUnits units = TuningUnits::Cents;  // --units cents|sixteenths
    std::string project;                     // --project P.campanor
    int bell = 0;                            // --bell N
    std::string pass;                        // --pass LABEL
    std::string extract;                     // --extract OUT.wav
    std::set<std::string> given;             // the ring options typed, to keep them in a project
};

struct ToolOptions {
    AnalysisParameters parameters;
    bool waitForTrigger = true;  // "Wait for trigger"
    int triggerLevel = 25;       // slider, percent of full scale, 0 ... 100
    // --trigger auto (the default): the level is a quarter of the file's own
    // largest sample instead, as files are often recorded well below full scale.
    bool autoTrigger = true;
    OutputFormat format = OutputFormat::Par;
    std::string outputFile;      // -o: the one result goes here
    std::string outputFolder;    // --out-dir: NAME.par (.txt, .json) per input
    std::string spectrumFile;    // --spectrum: CSV of the one input's spectrum
    std::string plotFile;        // --plot: PNG of the one input's spectrum
    std::string ideal = "just";  // --ideal: just, tempered or a founder's file
    double calibrateHz = 0.0;    // --calibrate: a reference tone's frequency; 0 = analyse bells
    std::string synthesisFile;   // --synthesise: the bell of the report as a .wav
    bool asTuned = false;        // --as-tuned: synthesised with every partial on its ideal
    bool formatGiven = false;    // --format was typed (--ring's default is table)
    RingOptions ring;
    bool help = false;
    bool version = false;
    std::vector<std::string> inputs;
};

// Reads the arguments after the program name. Options take their value as
// the next argument or after "=" (--start=100); "--" ends the options.
// Numbers are read without regard to the user's locale and must be whole
// numbers: no trailing text, no nan or inf. False, with `error` saying what
// is wrong (unknown option, missing or bad value), on any fault.
bool ParseToolOptions(const std::vector<std::string>& args, ToolOptions& options,
                      std::string& error);

// Checks the combination of options and inputs that parsing alone cannot:
// at least one input; -o, --spectrum, --plot, --calibrate, --synthesise and
// par output on stdout need exactly one input; --as-tuned needs --synthesise; --calibrate takes no --out-dir, --spectrum
// or --plot; -o and --out-dir exclude each other; --out-dir must be a
// folder and no two inputs may write the same file there. False with
// `error` otherwise.
bool CheckToolUsage(const ToolOptions& options, std::string& error);

// The parameters outside the ranges the window's edits check (start, end,
// low and high 0 ... 22000, interval 0.05 ... 5, speed 0.9 ... 1.1), one
// text per parameter, e.g. "--interval 6 is outside 0.05 ... 5". The window
// shows such a range message and still goes on with the value, so these are
// warnings; AcceptParameters decides.
std::vector<std::string> OutOfRangeParameters(const AnalysisParameters& parameters);

// The --help text.
std::string ToolHelpText();

// File name used for an input's results in --out-dir: the input's name
// without folder and last extension, plus ".par", ".txt", ".json" or ".csv".
std::string OutputNameFor(const std::string& input, OutputFormat format);
