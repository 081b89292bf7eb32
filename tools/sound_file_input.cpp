#include "tools/sound_file_input.h"

#include <samplerate.h>
#include <sndfile.h>

#include <cmath>

namespace {

constexpr int kTargetRate = 44100;

class SoundFile {
public:
    explicit SoundFile(const std::string& path) : file_(sf_open(path.c_str(), SFM_READ, &info_)) {}
    ~SoundFile() {
        if (file_ != nullptr) sf_close(file_);
    }
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    SNDFILE* handle() const { return file_; }
    const SF_INFO& info() const { return info_; }

private:
    SF_INFO info_{};
    SNDFILE* file_;
};

// Reads up to kMaxInputFrames frames, each the mean of its channels.
bool ReadMono(SoundFile& file, std::vector<float>& mono, std::string& error, bool& cut) {
    const int channels = file.info().channels;
    constexpr sf_count_t kChunk = 4096;
    std::vector<float> chunk(static_cast<std::size_t>(kChunk * channels));
    cut = false;
    while (true) {
        const std::int64_t room = kMaxInputFrames - static_cast<std::int64_t>(mono.size());
        if (room <= 0) {
            cut = sf_readf_float(file.handle(), chunk.data(), 1) > 0;
            return true;
        }
        const sf_count_t wanted = room < kChunk ? room : kChunk;
        const sf_count_t got = sf_readf_float(file.handle(), chunk.data(), wanted);
        for (sf_count_t f = 0; f < got; ++f) {
            double sum = 0.0;
            for (int c = 0; c < channels; ++c) sum += chunk[static_cast<std::size_t>(f * channels + c)];
            mono.push_back(static_cast<float>(sum / channels));
        }
        if (got < wanted) break;
    }
    if (sf_error(file.handle()) != SF_ERR_NO_ERROR) {
        error = sf_strerror(file.handle());
        return false;
    }
    return true;
}

bool ResampleTo44100(std::vector<float>& mono, int rate, std::string& error) {
    if (rate == kTargetRate || mono.empty()) return true;
    const double ratio = static_cast<double>(kTargetRate) / rate;
    if (!src_is_valid_ratio(ratio)) {
        error = "cannot convert a sample rate of " + std::to_string(rate) + " Hz";
        return false;
    }
    std::vector<float> out(static_cast<std::size_t>(std::ceil(mono.size() * ratio)) + 16);
    SRC_DATA data{};
    data.data_in = mono.data();
    data.input_frames = static_cast<long>(mono.size());
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size());
    data.end_of_input = 1;
    data.src_ratio = ratio;
    const int result = src_simple(&data, SRC_SINC_BEST_QUALITY, 1);
    if (result != 0) {
        error = src_strerror(result);
        return false;
    }
    out.resize(static_cast<std::size_t>(data.output_frames_gen));
    mono.swap(out);
    return true;
}

std::int16_t ToSample(float value) {
    const double scaled = std::floor(static_cast<double>(value) * 32768.0 + 0.5);
    if (!(scaled > -32768.0)) return -32768;  // NaN as well
    if (scaled > 32767.0) return 32767;
    return static_cast<std::int16_t>(static_cast<std::int32_t>(scaled));
}

}  // namespace

bool LoadSoundFile(const std::string& path, std::vector<std::int16_t>& samples, std::string& error,
                   std::string& warning) {
    SoundFile file(path);
    if (file.handle() == nullptr) {
        error = sf_strerror(nullptr);
        return false;
    }
    if (file.info().channels < 1 || file.info().samplerate < 1) {
        error = "the file has no channels or no sample rate";
        return false;
    }
    std::vector<float> mono;
    bool cut = false;
    if (!ReadMono(file, mono, error, cut)) return false;
    if (cut) warning = "only the first " + std::to_string(kMaxInputFrames) + " sample frames are used";
    if (!ResampleTo44100(mono, file.info().samplerate, error)) return false;
    samples.resize(mono.size());
    for (std::size_t i = 0; i < mono.size(); ++i) samples[i] = ToSample(mono[i]);
    return true;
}
