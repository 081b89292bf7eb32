#pragma once
// Helpers for the tests that run the real PortAudio path without a sound
// card: an ALSA configuration in a scratch folder (ALSA reads it once per
// Pa_Initialize, so each configuration gets its own test program), and a
// catcher for whatever is written to stderr meanwhile.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
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

// While alive, fd 2 writes into a scratch file; Text() reads what came.
class StderrCatcher {
public:
    explicit StderrCatcher(const std::string& folder) : path(folder + "/stderr.txt") {
        std::fflush(stderr);
        saved = dup(2);
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, 2);
        close(file);
    }
    ~StderrCatcher() { Restore(); }
    void Restore() {
        if (saved < 0) return;
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        saved = -1;
    }
    std::string Text() const {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string path;
    int saved = -1;
};

}  // namespace sound_system
