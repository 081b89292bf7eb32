#include "project/project_results.h"

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string ProjectOpenText(std::int16_t code, const std::string& path) {
    const std::string file = Quoted(path);
    switch (code) {
        case ProjectOpenedReadOnly:
            return "Opened " + file + " for reading only: you may not write to it, so no change can be kept.";
        case ProjectNotAProject: return file + " is not a Campanor project. It was left as it is.";
        case ProjectTooNew:
            return file + " was made by a newer version of Campanor. Update the program to open it; it was left as it is.";
        case ProjectBusy:
            return file + " is busy: another program is writing to it. Try again in a moment.";
        case ProjectMissing: return file + " does not exist.";
        case ProjectCannotOpen: return file + " cannot be opened.";
        case ProjectAlreadyExists: return file + " already exists. Choose another name for the new project.";
        case ProjectRingRefused:
            return "No project was made at " + file +
                   ": a ring has 1 to 64 bells, its anchor is one of them or 0, its pitch is a positive number "
                   "and its tolerance is not negative.";
        default: return "";
    }
}

std::string ProjectResultText(std::int16_t code, const std::string& path) {
    const std::string file = Quoted(path);
    switch (code) {
        case ProjectReadOnly: return file + " is open for reading only. The change was not kept.";
        case ProjectWasBusy:
            return file + " is busy: another program is writing to it. Nothing was changed; try again in a moment.";
        case ProjectNoSuchBell: return "The ring in " + file + " has no bell of that number. Nothing was changed.";
        case ProjectPassTaken:
            return "The bell already has a pass of that name in " + file + ". Nothing was kept; choose another name.";
        case ProjectPassUnnamed: return "A pass needs a name. Nothing was kept in " + file + ".";
        case ProjectBellsMeasured:
            return "A bell beyond the new number of bells has measurements in " + file +
                   ". The number of bells was not lowered.";
        case ProjectRingInvalid:
            return "A ring has 1 to 64 bells, its anchor is one of them or 0, its pitch is a positive number and "
                   "its tolerance is not negative. Nothing was changed in " + file + ".";
        case ProjectNoSuchPass: return file + " has no such pass.";
        case ProjectNotOpen: return "No project is open.";
        case ProjectFailed:
            return file + " could not be read or written (a full disk, a damaged file or a value that is not a "
                          "number). Nothing was changed.";
        default: return "";
    }
}
