#include "LineDevice.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace stationsim {

namespace {

std::string reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool makeRaw(int fd, bool setSpeed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (setSpeed && (cfsetispeed(&tio, B9600) != 0 || cfsetospeed(&tio, B9600) != 0)) {
        return false;
    }
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

} // namespace

std::unique_ptr<LineDevice> LineDevice::openPseudoTerminal(std::string& error) {
    std::unique_ptr<LineDevice> line(new LineDevice);
    line->fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (line->fd_ < 0 || grantpt(line->fd_) != 0 || unlockpt(line->fd_) != 0) {
        error = reason("cannot create a pseudo-terminal");
        return nullptr;
    }
    const char* name = ptsname(line->fd_);
    if (name == nullptr) {
        error = reason("cannot name the pseudo-terminal");
        return nullptr;
    }
    line->path_ = name;
    // Holding the slave side open keeps the master readable while no console has the device
    // open, and keeps the raw settings between the console's sessions.
    line->heldSlave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (line->heldSlave_ < 0 || !makeRaw(line->heldSlave_, false)) {
        error = reason("cannot set up " + line->path_);
        return nullptr;
    }
    return line;
}

std::unique_ptr<LineDevice> LineDevice::openSerial(const std::string& path, std::string& error) {
    std::unique_ptr<LineDevice> line(new LineDevice);
    line->path_ = path;
    line->fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (line->fd_ < 0) {
        error = reason("cannot open " + path);
        return nullptr;
    }
    if (!makeRaw(line->fd_, true)) {
        error = reason("cannot set " + path + " to 9600 8N1");
        return nullptr;
    }
    tcflush(line->fd_, TCIOFLUSH);
    return line;
}

LineDevice::~LineDevice() {
    if (!link_.empty()) {
        char target[4096];
        const ssize_t n = readlink(link_.c_str(), target, sizeof target - 1);
        // Only remove the link if it is still ours.
        if (n >= 0 && std::string(target, static_cast<std::size_t>(n)) == path_) {
            unlink(link_.c_str());
        }
    }
    if (heldSlave_ >= 0) {
        close(heldSlave_);
    }
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool LineDevice::createLink(const std::string& linkPath, std::string& error) {
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = linkPath + " exists and is not a symlink; not replacing it";
            return false;
        }
        unlink(linkPath.c_str());
    }
    if (symlink(path_.c_str(), linkPath.c_str()) != 0) {
        error = reason("cannot create the symlink " + linkPath);
        return false;
    }
    link_ = linkPath;
    return true;
}

} // namespace stationsim
