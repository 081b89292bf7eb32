// campanor-analyse run as a whole process from a benchmark, pinned to one
// core, its output thrown away.
#pragma once
#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

// The tool next to this program's build folder (tools/campanor-analyse).
inline std::string AnalyseToolPath() {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "tools" / "campanor-analyse").string();
}

// True on exit status 0; `peakKilobytes` receives the process's largest
// resident size.
inline bool RunAnalyseTool(const std::vector<std::string>& args, long& peakKilobytes) {
    const std::string tool = AnalyseToolPath();
    const pid_t child = fork();
    if (child == 0) {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(0, &one);
        sched_setaffinity(0, sizeof one, &one);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> argv{const_cast<char*>(tool.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    const bool ended = child > 0 && wait4(child, &status, 0, &usage) == child;
    peakKilobytes = usage.ru_maxrss;
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
