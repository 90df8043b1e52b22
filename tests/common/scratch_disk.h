// A folder on a small filesystem of its own, for tests of writes that fail the way they fail
// on a plant PC: a disk that is full, or one that is write-protected. It is a tmpfs mounted
// for the test, which needs root; elsewhere Mount() says why it cannot and the test skips.
#pragma once

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

class ScratchDisk {
  public:
    ScratchDisk() = default;
    ScratchDisk(const ScratchDisk &) = delete;
    ScratchDisk &operator=(const ScratchDisk &) = delete;
    ~ScratchDisk() {
        if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
        if (!dir_.empty()) rmdir(dir_.c_str());
    }

    // Mounts a tmpfs of `kilobytes` there, read-only when asked. False with *why otherwise.
    bool Mount(int kilobytes, bool readOnly, std::string *why) {
        if (geteuid() != 0) return Fail(why, "mounting a small disk needs root");
        char tmpl[] = "/tmp/taviron-disk-XXXXXX";
        if (!mkdtemp(tmpl)) return Fail(why, std::string("no folder: ") + std::strerror(errno));
        dir_ = tmpl;
        const std::string size = "size=" + std::to_string(kilobytes) + "k";
        if (mount("tmpfs", tmpl, "tmpfs", 0, size.c_str()) != 0)
            return Fail(why, std::string("mount: ") + std::strerror(errno));
        mounted_ = true;
        if (readOnly && mount("tmpfs", tmpl, "tmpfs", MS_REMOUNT | MS_RDONLY, size.c_str()) != 0)
            return Fail(why, std::string("read-only remount: ") + std::strerror(errno));
        return true;
    }

    const std::string &path() const { return dir_; }
    std::string file(const std::string &name) const { return dir_ + "/" + name; }

    // Takes all the room that is left with a file of its own, so the next write finds the
    // disk full.
    void Fill() {
        std::ofstream filler(file(".filler"), std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), std::streamsize(block.size())) && filler.flush()) {
        }
        filler.clear();
        for (int i = 0; i < 4096 && filler.put('f') && filler.flush(); ++i) {
        }
    }

  private:
    static bool Fail(std::string *why, const std::string &text) {
        *why = text;
        return false;
    }

    std::string dir_;
    bool mounted_ = false;
};
