#pragma once

// Whether a folder's entries may have changed since a moment: an entry made,
// removed or renamed in it, or the folder moved or removed. Not its
// permissions: whoever needs those asks for them. It errs only one way: where the system cannot watch the
// folder, or missed what happened, it says that something changed. A
// network or user-space file system is never trusted, since changes made
// elsewhere reach no watch here.

namespace platform {

class folder_watch {
public:
    // Watches the folder that `folder_fd` holds open, from now on.
    explicit folder_watch(int folder_fd);
    ~folder_watch();
    folder_watch(const folder_watch&) = delete;
    folder_watch& operator=(const folder_watch&) = delete;

    // Once it says so, it goes on saying so.
    bool changed();

private:
    // The watch's number in the program's one instance; none when the
    // folder cannot be watched.
    int m_watch = -1;
    bool m_changed = false;
};

} // namespace platform
