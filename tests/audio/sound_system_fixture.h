#pragma once
// The real PortAudio path without a sound card: ALSA reads the configuration written here once per
// process, so each configuration needs a process of its own.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace sound_system {

// A fresh scratch folder (absolute path; empty on failure).
inline std::string MakeScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "campanor-audio-XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

// Writes `config` as the only ALSA configuration and points ALSA at it.
inline void UseAlsaConfiguration(const std::string& folder, const std::string& config) {
    std::ofstream(folder + "/asound.conf") << config << '\n';
    setenv("ALSA_CONFIG_PATH", (folder + "/asound.conf").c_str(), 1);
}

}  // namespace sound_system
