#pragma once

// The names of a folder's entries, kept in one block of bytes, each name
// followed by a NUL: a hundred thousand names cost two allocations rather
// than one each, are read and dropped as fast, and each can go to the kernel
// as it stands.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class name_list {
public:
    std::size_t size() const { return m_starts.size(); }
    bool empty() const { return m_starts.empty(); }
    std::string_view operator[](std::size_t index) const
    {
        const std::size_t start = m_starts[index];
        const std::size_t end = index + 1 < m_starts.size() ? m_starts[index + 1] : m_bytes.size();
        return {m_bytes.data() + start, end - start - 1};
    }

    void push_back(std::string_view name)
    {
        m_starts.push_back(m_bytes.size());
        m_bytes.append(name);
        m_bytes.push_back('\0');
    }
    void reserve(std::size_t names, std::size_t bytes)
    {
        m_starts.reserve(names);
        m_bytes.reserve(bytes);
    }

    // Into list order (see list_order_less).
    void sort();
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
    std::string m_bytes;
    std::vector<std::size_t> m_starts;
};

} // namespace platform
