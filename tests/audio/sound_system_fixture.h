#pragma once
// The real PortAudio path without a sound card: an ALSA configuration in a
// scratch folder. ALSA reads it once per process, so each configuration
// needs a test program (or process) of its own.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace sound_system {

// Creates a fresh scratch folder and returns its absolute path.
inline std::string MakeScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "campanor-audio-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    return made != nullptr ? std::string(made) : std::string();
}

// Writes `config` as the only ALSA configuration and points ALSA at it.
inline void UseAlsaConfiguration(const std::string& folder, const std::string& config) {
    const std::string path = folder + "/asound.conf";
    std::ofstream(path) << config << '\n';
    setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
}

}  // namespace sound_system
