#pragma once

#include <memory>
#include <string>

namespace stationsim {

// The station's end of the serial line: the master side of a new pseudo-terminal, or a real
// serial device set to 9600 8N1 raw. Optionally published through a symlink that goes away
// with the object.
class LineDevice {
public:
    static std::unique_ptr<LineDevice> openPseudoTerminal(std::string& error);
    static std::unique_ptr<LineDevice> openSerial(const std::string& path, std::string& error);
    ~LineDevice();

    LineDevice(const LineDevice&) = delete;
    LineDevice& operator=(const LineDevice&) = delete;

    // Creates `linkPath` pointing at the device. A stale symlink left there is replaced;
    // anything else at that path is refused.
    bool createLink(const std::string& linkPath, std::string& error);

    int fd() const { return fd_; }
    // The device the console opens (the pseudo-terminal's slave side).
    const std::string& path() const { return path_; }
    // A serial device can disappear (USB adapter unplugged); a pseudo-terminal cannot.
    bool isPseudoTerminal() const { return heldSlave_ >= 0; }

private:
    LineDevice() = default;

    int fd_ = -1;
    int heldSlave_ = -1;
    std::string path_;
    std::string link_;
};

} // namespace stationsim
