#include "app/command_line.h"

#include <string_view>

#include "campanor_build_info.h"  // generated at build time

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            line.problems.push_back("unknown option " + arg);
        } else if (line.file.empty()) {
            line.file = arg;
        } else {
            line.problems.push_back("only one file is opened; " + arg + " is left");
        }
    }
    return line;
}

std::string VersionLine(const std::string& program) {
    const std::string_view commit = CAMPANOR_COMMIT;
    return program + " " + CAMPANOR_VERSION + (commit.empty() ? "" : " (commit " + std::string(commit) + ")");
}

std::string CommandLineHelp() {
    return R"(Usage: campanor [FILE]
The bell tuner's window: record a struck bell from the sound card, see its
spectrum, name its partials (hum, prime, tierce, quint, nominal, superquint,
octave nominal) and measure them far finer than the spectrum's grid.
Under the plot: the tuning panel, the ring of a project and a bell's
history, the decay of each partial, a spectrogram, and listening to the
recording or to the bell synthesised as measured or as tuned.

  FILE          a tower's project file (.campanor) to open, its ring in
                the Ring tab; or a sound file (WAV, AIFF, FLAC, Ogg) to
                analyse at start-up, as "Analyse file..." does
  -h, --help    show this text and end
  --version     show the version (and the commit it was built from) and end

Without a sound-input device the window opens with live recording off.
A file correct.txt in the current folder holding one number from 0.9 to
1.1 sets the speed adjustment at start-up. The toolkit's own options (for
example -platform offscreen) are accepted too.
The command-line analyser campanor-analyse analyses recorded bells without
a window; see campanor-analyse --help.
)";
}
