#pragma once
// Which dialog control shows which settings key, and how the control holds it.
// Loading and saving both walk the table in its order.
#include <string>
#include <vector>

struct ControlBinding {
    std::string key;
    int controlId;
    std::string kind;  // "BUTTON": a checkbox holding a boolean; "SLIDER": a trackbar holding an integer
};

namespace BindingKind {
inline constexpr const char* Button = "BUTTON";
inline constexpr const char* Slider = "SLIDER";
}  // namespace BindingKind

// The five rows, in the order of loading and writing.
std::vector<ControlBinding> MakeControlBindings();
