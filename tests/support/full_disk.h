#pragma once

// Makes writes below one folder fail the way they do on a full disk. As root, where mounting is
// allowed, the folder becomes a 64 KiB tmpfs that fill() fills up: the mount lives in a private
// mount namespace of the calling thread (and of processes it starts), so only this test sees it.
// Elsewhere fill() lowers the file size limit to zero, so every write of the process fails.

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace ribbex::test {

class FullDisk {
public:
    // folder is created; anything in it before is hidden while the disk is mounted.
    explicit FullDisk(const QString &folder)
        : m_folder(QFile::encodeName(folder))
    {
        EXPECT_TRUE(QDir().mkpath(folder));
        m_mounted = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
            && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=64k,mode=0700") == 0;
    }
    ~FullDisk()
    {
        makeRoom();
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    // From now on writes of new data fail.
    void fill()
    {
        if (!m_mounted) {
            m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &m_oldLimit);
            const rlimit none {0, m_oldLimit.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &none);
            m_full = true;
            return;
        }
        const int fd = ::open(fillerPath().constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        ASSERT_GE(fd, 0);
        const char block[4096] {};
        while (::write(fd, block, sizeof block) > 0) { }
        const int error = errno;
        ::close(fd);
        ASSERT_EQ(error, ENOSPC);
        m_full = true;
    }

    // Writes succeed again.
    void makeRoom()
    {
        if (!m_full)
            return;
        m_full = false;
        if (m_mounted) {
            ::unlink(fillerPath().constData());
            return;
        }
        ::setrlimit(RLIMIT_FSIZE, &m_oldLimit);
        std::signal(SIGXFSZ, m_oldHandler);
    }

    // The system's words for why a write failed while full.
    QString reason() const { return qt_error_string(m_mounted ? ENOSPC : EFBIG); }

private:
    QByteArray fillerPath() const { return m_folder + "/filler"; }

    QByteArray m_folder;
    bool m_mounted = false;
    bool m_full = false;
    rlimit m_oldLimit {};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace ribbex::test
