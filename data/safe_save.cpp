#include "data/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace {

// A link is followed so that saving through it updates the file it names
// instead of turning the link into a plain file.
std::string ResolveTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;  // a dangling link is replaced like a file
    std::string resolved(real);
    std::free(real);
    return resolved;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Opens a new hidden file next to the target. The name is made unique by
// the process id, a counter and the clock; O_EXCL guarantees that an
// existing file is never reused. Mode 0666 lets the umask decide, as for any
// newly created file.
int CreateTemporary(const std::string& target, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    // Keep the name well under the 255-byte limit of a file name.
    const std::string base = BaseOf(target).substr(0, 100);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        temporaryPath = FolderOf(target) + "/." + base + ".tmp" + std::to_string(getpid()) + "-" +
                        std::to_string(counter.fetch_add(1)) + "-" +
                        std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ULL);
        const int fd = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes, flushes, syncs (when `sync`: devices and FIFOs cannot be) and
// closes; true only when every step worked. The stream is closed in every
// case.
bool WriteAndClose(int fd, const FileWriter& write, bool sync = true) {
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        close(fd);
        return false;
    }
    bool ok = write(file);
    ok = std::fflush(file) == 0 && ok;
    ok = std::ferror(file) == 0 && ok;
    ok = (!sync || fsync(fileno(file)) == 0) && ok;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

// Writes straight into a device or FIFO: opened without blocking (a FIFO
// without a reader refuses), then blocking again for the writes.
bool WriteIntoNode(const std::string& target, const FileWriter& write) {
    const int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return WriteAndClose(fd, write, false);
}

// The whole of the file at `path` into `bytes`; false when it cannot be read.
bool ReadAll(const std::string& path, std::string& bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(got));
    close(fd);
    return got == 0;
}

// Rewrites an existing, writable file where it is, for folders that do not
// let a temporary file be made. Its old bytes are kept in memory and written
// back when the new ones fail (a full disk, a file size limit); a file that
// cannot be read first is not touched.
bool WriteInPlace(const std::string& target, const FileWriter& write) {
    std::string old;
    if (!ReadAll(target, old)) return false;
    const int fd = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    if (WriteAndClose(fd, write)) return true;
    const int again = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (again >= 0) {
        WriteAndClose(again, [&old](std::FILE* file) { return std::fwrite(old.data(), 1, old.size(), file) == old.size(); });
    }
    return false;
}

// Makes the rename itself durable. The new content is already complete and
// in place, so a failure here is not reported.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

bool SaveFileSafely(const std::string& path, const FileWriter& write) {
    if (path.empty() || path.back() == '/') return false;
    const std::string target = ResolveTarget(path);
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return false;
    if (exists && !S_ISREG(existing.st_mode)) return WriteIntoNode(target, write);
    if (exists && ((existing.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)) return false;
    std::string temporaryPath;
    const int fd = CreateTemporary(target, temporaryPath);
    if (fd < 0) return exists && WriteInPlace(target, write);
    if (exists) fchmod(fd, existing.st_mode & 07777);  // best effort: the content matters more
    if (!WriteAndClose(fd, write) || std::rename(temporaryPath.c_str(), target.c_str()) != 0) {
        unlink(temporaryPath.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

bool SaveBytesSafely(const std::string& path, std::string_view bytes) {
    return SaveFileSafely(path, [bytes](std::FILE* file) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    });
}
