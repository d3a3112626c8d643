#pragma once
// A list of saved templates keyed by name: saving under a name the list
// already holds replaces that entry in place, a new name goes to the end.
#include <utility>
#include <vector>

namespace kit {

// The entry's index, or -1 for an empty name (nothing is stored).
template <class Template>
int storeByName(std::vector<Template>& list, Template t) {
    if (t.name.empty()) return -1;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].name == t.name) {
            list[i] = std::move(t);
            return static_cast<int>(i);
        }
    }
    list.push_back(std::move(t));
    return static_cast<int>(list.size() - 1);
}

}  // namespace kit
