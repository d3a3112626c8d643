#pragma once
// The names of a table's columns, stored end to end in one text with four
// bytes a name: a header line of a million separators holds a million empty
// names, and a string each would cost eight times the line.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/position_iterator.h"

namespace kit {

class HeaderNames {
    struct Names {
        const HeaderNames* names;
        std::string_view operator()(size_t k) const { return (*names)[k]; }
    };

public:
    using iterator = PositionIterator<Names, std::string_view>;
    using const_iterator = iterator;
    using value_type = std::string_view;

    HeaderNames() = default;
    HeaderNames(std::initializer_list<std::string_view> names);
    HeaderNames(const std::vector<std::string>& names);

    size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](size_t k) const {
        const size_t begin = k == 0 ? 0 : ends_[k - 1];
        return std::string_view(text_.data() + begin, ends_[k] - begin);
    }
    iterator begin() const { return {Names{this}, 0}; }
    iterator end() const { return {Names{this}, ends_.size()}; }

    // Room for this many names of this many bytes in all.
    void reserve(size_t names, size_t bytes);
    // The names together stay below 4 GiB, as the text of a table does.
    void push_back(std::string_view name);
    void clear();

    // Callers that keep their own list (list controls, output columns).
    operator std::vector<std::string>() const { return {begin(), end()}; }
    friend bool operator==(const HeaderNames& a, const HeaderNames& b) {
        return a.ends_ == b.ends_ && a.text_ == b.text_;
    }

    // Memory held beyond the object itself.
    size_t bytesHeld() const { return text_.capacity() + ends_.capacity() * sizeof(uint32_t); }

private:
    std::string text_;
    std::vector<uint32_t> ends_;  // where each name ends in text_
};

}  // namespace kit
