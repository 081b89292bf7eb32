#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "tools/spectrum_plot.h"

namespace {

using PlotEntry = bool (*)(const char*, const Spectrum*, const PartialTable*);

constexpr const char* kModuleName = "libcampanor_plot.so";

std::string ProgramFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return ".";
    const std::string path(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Loaded once per process and kept: a batch plots many files.
PlotEntry LoadEntry(std::string& error) {
    static PlotEntry entry = nullptr;
    if (entry != nullptr) return entry;
    // Beside the program in the build tree; in the library folder of the
    // prefix the program was installed under; in the configured one.
    const std::string folder = ProgramFolder();
    const std::string candidates[] = {
        folder + "/" + kModuleName,
        folder + "/" + CAMPANOR_PLOT_MODULE_RELDIR + "/" + kModuleName,
        std::string(CAMPANOR_PLOT_MODULE_DIR) + "/" + kModuleName};
    std::string reasons;
    for (const std::string& candidate : candidates) {
        void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            reasons += reasons.empty() ? "" : "; ";
            reasons += dlerror();
            continue;
        }
        entry = reinterpret_cast<PlotEntry>(dlsym(module, "CampanorSaveSpectrumPlot"));
        if (entry != nullptr) return entry;
        reasons += reasons.empty() ? "" : "; ";
        reasons += candidate + ": no plot entry";
    }
    error = "plotting is not available (" + reasons + ")";
    return nullptr;
}

}  // namespace

bool SaveSpectrumPlotThroughModule(const std::string& path, const Spectrum& spectrum,
                                   const PartialTable& table, std::string& error) {
    const PlotEntry entry = LoadEntry(error);
    if (entry == nullptr) return false;
    if (!entry(path.c_str(), &spectrum, &table)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
