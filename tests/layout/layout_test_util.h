// Helpers shared by the layout tests.
#pragma once

#include "platform/widgets.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace layout_test {

using Items = std::vector<std::pair<std::string, int>>;

// The labels and values of a selector's items.
inline Items ItemsOf(const ctl::Ring* r) {
    Items items;
    for (int i = 0; i < r->count(); ++i) {
        items.emplace_back(r->itemText(i).toStdString(), r->itemData(i).toInt());
    }
    return items;
}

// Number of null pointers among the controls.
template <typename... T>
int Missing(const T*... controls) {
    return ((controls == nullptr ? 1 : 0) + ...);
}

} // namespace layout_test
