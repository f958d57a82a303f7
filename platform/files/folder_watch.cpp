#include "folder_watch.h"

#include <cerrno>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {

namespace {

// File systems whose every change goes through this machine's kernel, which
// tells the watch. On NFS, SMB, FUSE or an overlay, another machine, a
// daemon or the layer below can change a folder without a word.
bool every_change_seen(int folder_fd)
{
    struct statfs fs {};
    if (fstatfs(folder_fd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case EXT4_SUPER_MAGIC: // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case MSDOS_SUPER_MAGIC:
    case EXFAT_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

// The program's one inotify instance, shared by every watch and never
// closed: closing an instance waits for the kernel to retire its watches,
// up to 15 ms, which a window changing folders would feel, whereas a watch
// removed from an open instance is retired in the background.
class watches {
public:
    // Never destroyed, so that a watch a thread drops as the program ends
    // still finds it.
    static watches& all()
    {
        static watches* const instance = new watches;
        return *instance;
    }

    // The watch of the folder, or -1.
    int add(int folder_fd)
    {
        const std::lock_guard lock(m_mutex);
        if (m_fd < 0)
            return -1;
        // The kernel keeps what no one has read yet; a program that lists
        // folder after folder and never runs would let it pile up.
        read_events();
        // The descriptor's own entry under /proc names the very folder held
        // open, whatever its path names by now.
        const std::string held = "/proc/self/fd/" + std::to_string(folder_fd);
        // One event says all there is to say; after it the kernel drops the
        // watch, so that a run renaming a whole folder is not charged an
        // event per rename. Watches of one folder share a number, and a
        // change then changes them all. No event that a file in the folder
        // could raise (its attributes, say): for those the kernel marks every
        // entry of the folder as it adds the watch, 10 ms for 100,000.
        constexpr std::uint32_t events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                         IN_MOVE_SELF | IN_ONLYDIR | IN_ONESHOT;
        const int watch = inotify_add_watch(m_fd, held.c_str(), events);
        if (watch >= 0)
            ++m_watched[watch].users;
        return watch;
    }

    void remove(int watch)
    {
        const std::lock_guard lock(m_mutex);
        const auto at = m_watched.find(watch);
        if (at == m_watched.end() || --at->second.users > 0)
            return;
        // A watch that has seen its event is gone from the kernel already.
        if (!at->second.changed)
            inotify_rm_watch(m_fd, watch);
        m_watched.erase(at);
    }

    bool changed(int watch)
    {
        const std::lock_guard lock(m_mutex);
        read_events();
        const auto at = m_watched.find(watch);
        return at == m_watched.end() || at->second.changed;
    }

private:
    watches() : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

    // Any event at all, the file system going away included, is a change
    // of its folder; an overflow of the queue, or an instance that can no
    // longer be read, is a change of every folder.
    void read_events()
    {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got < 0 && errno == EAGAIN)
                return;
            const auto change_all = [this] {
                for (auto& watched : m_watched)
                    watched.second.changed = true;
            };
            if (got <= 0) {
                change_all();
                return;
            }
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->mask & IN_Q_OVERFLOW)
                    change_all();
                else if (const auto found = m_watched.find(event->wd); found != m_watched.end())
                    found->second.changed = true;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

    struct watched {
        int users = 0;
        bool changed = false;
    };

    std::mutex m_mutex;
    int m_fd;
    std::unordered_map<int, watched> m_watched;
};

} // namespace

folder_watch::folder_watch(int folder_fd)
    : m_watch(every_change_seen(folder_fd) ? watches::all().add(folder_fd) : -1),
      m_changed(m_watch < 0)
{
}

folder_watch::~folder_watch()
{
    if (m_watch >= 0)
        watches::all().remove(m_watch);
}

bool folder_watch::changed()
{
    m_changed = m_changed || watches::all().changed(m_watch);
    return m_changed;
}

} // namespace platform
