#pragma once

#include <QString>

namespace comm {

// The one-owner lock of a serial device, taken by every Brisora program before it opens the
// device, so that the console and the station service never talk on one line at once.
//
// The lock is an flock(2) on a small file named after the device (its real path, symbolic
// links resolved, so two names for one adapter share it) in the lock folder: /run/lock, or
// the folder BRISORA_LOCK_DIR names. The holder writes its program name and pid into the
// file, which is how a refused program learns who holds the device. The kernel drops the lock
// when its holder exits or is killed, so a lock left by a dead process is simply taken over;
// the file itself stays (it may belong to another user in a sticky folder) and is rewritten
// by the next holder. QSerialPort additionally puts the open device into exclusive mode
// (TIOCEXCL), which keeps out programs that know nothing of this lock.
//
// Where no lock file can be made (no lock folder, no permission), the device is opened
// without it: the exclusive mode still refuses a second opener, only without a name.
class PortLock {
public:
    enum class Result {
        Locked,      // this object holds the device now
        Busy,        // another program holds it; holder() says who
        Unavailable, // no lock file could be used; go on without one
    };

    static constexpr const char* kDirectoryVariable = "BRISORA_LOCK_DIR";

    PortLock() = default;
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;
    ~PortLock();

    // Tries to take the lock of `device` without waiting. Releases any lock held before.
    Result lock(const QString& device);
    void unlock();
    bool isLocked() const { return m_fd >= 0; }

    // After Busy: the holder as "<program> (pid N)", or "otro programa" when the file does
    // not say.
    QString holder() const { return m_holder; }

    // The lock file of a device.
    static QString lockFilePath(const QString& device);
    // The program name written into the lock: the application's name, else the process's.
    static QString ownName();

private:
    int m_fd = -1;
    QString m_holder;
};

} // namespace comm
