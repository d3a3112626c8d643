#pragma once
#include <cstddef>
#include <iterator>

namespace kit {

// A forward iterator over positions 0, 1, 2, ... of a source that gives the
// value at a position (by value: cells and rows are views).
template <class Source, class Value>
class PositionIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Value;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Value;

    PositionIterator() = default;
    PositionIterator(Source source, size_t at) : source_(source), at_(at) {}
    Value operator*() const { return source_(at_); }
    PositionIterator& operator++() {
        ++at_;
        return *this;
    }
    PositionIterator operator++(int) {
        PositionIterator was = *this;
        ++at_;
        return was;
    }
    bool operator==(const PositionIterator& other) const { return at_ == other.at_; }

private:
    Source source_{};
    size_t at_ = 0;
};

}  // namespace kit
