#include "cycle/sound_file_input.h"

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

std::int16_t ToSample(float value) {
    const double scaled = std::floor(static_cast<double>(value) * 32768.0 + 0.5);
    if (!(scaled > -32768.0)) return -32768;  // NaN as well
    if (scaled > 32767.0) return 32767;
    return static_cast<std::int16_t>(static_cast<std::int32_t>(scaled));
}

}  // namespace

struct SoundFileReader::State {
    std::unique_ptr<SoundFile> file;
    std::unique_ptr<SRC_STATE, SRC_STATE* (*)(SRC_STATE*)> converter{nullptr, &src_delete};
    double ratio = 1.0;
    static constexpr long kChunk = 4096;
    std::vector<float> frames, mono = std::vector<float>(kChunk), out = std::vector<float>(kChunk);
    long inPos = 0, inCount = 0;    // mono samples of the last piece not yet converted
    long outPos = 0, outCount = 0;  // converted samples not yet delivered
    bool ended = false;             // the file's last piece has been read
    bool finished = false;          // ... and converted to the last sample

    // Reads the next piece into `mono`.
    sf_count_t ReadPiece() {
        const int channels = file->info().channels;
        const sf_count_t got = sf_readf_float(file->handle(), frames.data(), kChunk);
        for (sf_count_t f = 0; f < got; ++f) {
            double sum = 0.0;
            for (int c = 0; c < channels; ++c) sum += frames[static_cast<std::size_t>(f * channels + c)];
            mono[static_cast<std::size_t>(f)] = static_cast<float>(sum / channels);
        }
        return got;
    }

    // Refills `out` from the piece, reading the next piece when it is used up.
    bool Convert(std::string& error) {
        if (inPos == inCount && !ended) {
            inCount = static_cast<long>(ReadPiece());
            inPos = 0;
            ended = inCount < kChunk;
        }
        if (converter == nullptr) {
            std::copy(mono.begin() + inPos, mono.begin() + inCount, out.begin());
            outPos = 0, outCount = inCount - inPos, inPos = inCount;
            finished = ended;
            return true;
        }
        SRC_DATA data{mono.data() + inPos, out.data(), inCount - inPos, kChunk, 0, 0, ended ? 1 : 0, ratio};
        if (const int code = src_process(converter.get(), &data)) {
            error = src_strerror(code);
            return false;
        }
        inPos += data.input_frames_used;
        outPos = 0, outCount = data.output_frames_gen;
        // At the end the converter is drained until it has nothing more.
        finished = ended && inPos == inCount && outCount == 0;
        return true;
    }
};

SoundFileReader::SoundFileReader() : state(std::make_unique<State>()) {}
SoundFileReader::~SoundFileReader() = default;

bool SoundFileReader::Open(const std::string& path, std::string& error) {
    State& s = *state;
    s.file = std::make_unique<SoundFile>(path);
    if (s.file->handle() == nullptr) {
        error = sf_strerror(nullptr);
        return false;
    }
    const int channels = s.file->info().channels, rate = s.file->info().samplerate;
    if (channels < 1 || rate < 1) {
        error = "the file has no channels or no sample rate";
        return false;
    }
    s.frames.resize(static_cast<std::size_t>(State::kChunk * channels));
    s.ratio = static_cast<double>(kTargetRate) / rate;
    if (rate == kTargetRate) return true;
    if (!src_is_valid_ratio(s.ratio)) {
        error = "cannot convert a sample rate of " + std::to_string(rate) + " Hz";
        return false;
    }
    int code = 0;
    s.converter.reset(src_new(SRC_SINC_BEST_QUALITY, 1, &code));
    if (s.converter == nullptr) error = src_strerror(code);
    return s.converter != nullptr;
}

int SoundFileReader::LargestSample() {
    State& s = *state;
    const auto frames = static_cast<sf_count_t>(std::ceil(static_cast<double>(kMaxInputFrames) / s.ratio));
    float largest = 0.0f;
    for (sf_count_t read = 0, got = State::kChunk; read < frames && got == State::kChunk; read += got) {
        got = s.ReadPiece();
        for (sf_count_t f = 0; f < got; ++f) largest = std::max(largest, s.mono[static_cast<std::size_t>(f)]);
    }
    sf_seek(s.file->handle(), 0, SEEK_SET);
    return ToSample(largest);
}

bool SoundFileReader::ReadUpTo(std::vector<std::int16_t>& samples, std::int64_t wanted, std::string& error) {
    State& s = *state;
    const auto limit = static_cast<std::size_t>(std::min(wanted, kMaxInputFrames));
    while (samples.size() < limit && !(s.outPos == s.outCount && s.finished)) {
        if (s.outPos == s.outCount && !s.Convert(error)) return false;
        while (s.outPos < s.outCount && samples.size() < limit) samples.push_back(ToSample(s.out[s.outPos++]));
    }
    if (sf_error(s.file->handle()) != SF_ERR_NO_ERROR) {
        error = sf_strerror(s.file->handle());
        return false;
    }
    return true;
}

bool SoundFileReader::Finished() const {
    return state->outPos == state->outCount && state->finished;
}

bool SoundFileReader::Cut(const std::vector<std::int16_t>& samples) const {
    return static_cast<std::int64_t>(samples.size()) >= kMaxInputFrames && !Finished();
}

bool LoadSoundFile(const std::string& path, std::vector<std::int16_t>& samples, std::string& error,
                   std::string& warning) {
    SoundFileReader reader;
    samples.clear();
    if (!reader.Open(path, error) || !reader.ReadUpTo(samples, kMaxInputFrames, error)) return false;
    if (reader.Cut(samples)) warning = "only the first " + std::to_string(kMaxInputFrames) + " samples at 44100 Hz are used";
    return true;
}
