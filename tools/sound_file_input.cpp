#include "tools/sound_file_input.h"

#include <samplerate.h>
#include <sndfile.h>

#include <cmath>
#include <memory>

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

std::int16_t ToSample(float value);

// Appends converted samples, at most kMaxInputFrames in all; false once full.
bool Append(std::vector<std::int16_t>& samples, const float* values, long count) {
    for (long i = 0; i < count; ++i) {
        if (static_cast<std::int64_t>(samples.size()) >= kMaxInputFrames) return false;
        samples.push_back(ToSample(values[i]));
    }
    return true;
}

// Reads the file in pieces, each frame the mean of its channels, converts
// every piece to 44100 Hz as it comes and keeps only the 16-bit result, so
// memory follows what is kept (at most kMaxInputFrames samples), never the
// file's length or rate. `cut` tells that more of the file was left unread.
bool ReadConverted(SoundFile& file, std::vector<std::int16_t>& samples, std::string& error, bool& cut) {
    const int channels = file.info().channels, rate = file.info().samplerate;
    const double ratio = static_cast<double>(kTargetRate) / rate;
    if (rate != kTargetRate && !src_is_valid_ratio(ratio)) {
        error = "cannot convert a sample rate of " + std::to_string(rate) + " Hz";
        return false;
    }
    int code = 0;
    std::unique_ptr<SRC_STATE, SRC_STATE* (*)(SRC_STATE*)> converter(
        rate == kTargetRate ? nullptr : src_new(SRC_SINC_BEST_QUALITY, 1, &code), &src_delete);
    if (rate != kTargetRate && converter == nullptr) {
        error = src_strerror(code);
        return false;
    }
    constexpr long kChunk = 4096;
    std::vector<float> frames(static_cast<std::size_t>(kChunk * channels)), mono(kChunk), out(kChunk);
    bool room = true, ended = false;
    while (room && !ended) {
        const sf_count_t got = sf_readf_float(file.handle(), frames.data(), kChunk);
        ended = got < kChunk;
        for (sf_count_t f = 0; f < got; ++f) {
            double sum = 0.0;
            for (int c = 0; c < channels; ++c) sum += frames[static_cast<std::size_t>(f * channels + c)];
            mono[static_cast<std::size_t>(f)] = static_cast<float>(sum / channels);
        }
        if (converter == nullptr) {
            room = Append(samples, mono.data(), static_cast<long>(got));
            continue;
        }
        SRC_DATA data{mono.data(), out.data(), static_cast<long>(got), kChunk, 0, 0, ended ? 1 : 0, ratio};
        // Until this piece is used up and, at the end, the converter is drained.
        do {
            if ((code = src_process(converter.get(), &data)) != 0) {
                error = src_strerror(code);
                return false;
            }
            room = Append(samples, out.data(), data.output_frames_gen);
            data.data_in += data.input_frames_used;
            data.input_frames -= data.input_frames_used;
        } while (room && (data.input_frames > 0 || (ended && data.output_frames_gen > 0)));
    }
    if (sf_error(file.handle()) != SF_ERR_NO_ERROR) {
        error = sf_strerror(file.handle());
        return false;
    }
    cut = !room && (!ended || sf_readf_float(file.handle(), frames.data(), 1) > 0);
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
    samples.clear();
    bool cut = false;
    if (!ReadConverted(file, samples, error, cut)) return false;
    if (cut) warning = "only the first " + std::to_string(kMaxInputFrames) + " samples at 44100 Hz are used";
    return true;
}
