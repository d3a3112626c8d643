#include "core/header_names.h"

namespace kit {

HeaderNames::HeaderNames(std::initializer_list<std::string_view> names) {
    for (std::string_view n : names) push_back(n);
}

HeaderNames::HeaderNames(const std::vector<std::string>& names) {
    for (const std::string& n : names) push_back(n);
}

void HeaderNames::reserve(size_t names, size_t bytes) {
    ends_.reserve(names);
    text_.reserve(bytes);
}

void HeaderNames::push_back(std::string_view name) {
    text_ += name;
    ends_.push_back(static_cast<uint32_t>(text_.size()));
}

void HeaderNames::clear() {
    text_.clear();
    ends_.clear();
}

}  // namespace kit
