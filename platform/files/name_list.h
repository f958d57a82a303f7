#pragma once

// The names of a folder's entries, kept in one block of bytes, each name
// followed by a NUL: a hundred thousand names cost two allocations rather
// than one each, are read and dropped as fast, and each can go to the kernel
// as it stands. Sorting moves only the places of the names, never their bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class name_list {
public:
    std::size_t size() const { return m_places.size(); }
    bool empty() const { return m_places.empty(); }
    std::string_view operator[](std::size_t index) const
    {
        const slot& at = m_places[index];
        return {m_bytes.data() + at.start, at.length};
    }

    void reserve(std::size_t names, std::size_t bytes)
    {
        m_places.reserve(names);
        m_bytes.reserve(bytes);
    }

    // `inode` is the entry's as the folder's reading gave it, 0 for none.
    void push_back(std::string_view name, std::uint64_t inode = 0)
    {
        if (inode != 0 || !m_inodes.empty()) {
            m_inodes.resize(m_places.size());
            m_inodes.push_back(inode);
        }
        m_places.push_back({m_bytes.size(), static_cast<std::uint32_t>(name.size()),
                            static_cast<std::uint32_t>(m_places.size())});
        if (m_bytes.size() + name.size() + 1 > m_bytes.capacity())
            grow_for(name.size() + 1);
        m_bytes.append(name);
        m_bytes.push_back('\0');
    }
    // The inode the reading gave for the name at `index`, or 0. A journal
    // written ahead of the renames names each file by it, at no cost beyond
    // the reading's.
    std::uint64_t inode(std::size_t index) const
    {
        const std::uint32_t added = m_places[index].added;
        return added < m_inodes.size() ? m_inodes[added] : 0;
    }

    // Into list order (see list_order.h). A list already known to be in
    // order, or in reverse, is spared the look along it.
    enum class known_order { none, forward, backward };
    void sort(known_order known = known_order::none);
    // The places of the names in the order they were added: for a folder's
    // names, the folder's own order.
    std::vector<std::uint32_t> order_added() const;
    std::vector<std::string> to_strings() const;

    class iterator {
    public:
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        iterator() = default;
        iterator(const name_list* list, std::size_t index) : m_list(list), m_index(index) {}
        std::string_view operator*() const { return (*m_list)[m_index]; }
        iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        iterator operator++(int)
        {
            iterator before = *this;
            ++m_index;
            return before;
        }
        bool operator==(const iterator& other) const { return m_index == other.m_index; }

    private:
        const name_list* m_list = nullptr;
        std::size_t m_index = 0;
    };
    iterator begin() const { return {this, 0}; }
    iterator end() const { return {this, size()}; }

private:
    // Room for the bytes of as many names as there is room for places, by
    // the mean length of the names so far: a list told how many names it
    // will hold, but not how long they are (a memory file system's folder
    // counts 20 bytes an entry, whatever its names), grows its bytes once
    // or twice rather than copying them at every doubling. At least twice
    // the room there was, so that growing stays linear.
    void grow_for(std::size_t more)
    {
        const std::size_t held = m_bytes.size() + more;
        const std::size_t mean_in_tenths = held * 10 / m_places.size();
        const std::size_t planned = std::max(m_places.capacity(), m_places.size());
        m_bytes.reserve(std::max(2 * m_bytes.capacity(), planned * mean_in_tenths / 10 * 9 / 8 + more));
    }
    struct slot {
        std::size_t start;
        std::uint32_t length;
        std::uint32_t added;
    };
    std::string m_bytes;
    std::vector<slot> m_places;
    // By the order the names were added, when any was given one.
    std::vector<std::uint64_t> m_inodes;
};

} // namespace platform
