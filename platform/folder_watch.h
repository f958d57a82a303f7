#pragma once

// Whether a folder's entries may have changed since a moment: an entry made,
// removed or renamed in it, its own permissions changed, or the folder moved
// or removed. It errs only one way: where the system cannot watch the
// folder, or missed what happened, it says that something changed.

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
    int m_fd = -1;
    bool m_changed = false;
};

} // namespace platform
