#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kapred {

// The captions of one entry window: its own caption and those of its labels, keyed by the
// field or total they name (the label control is "lbl" + that name).
struct Label {
    std::string_view name;     // a column or a total
    std::string_view caption;  // as shown, "&" kept
};
struct WindowCaptions {
    std::string_view entityName;  // "ActivoComputable"
    std::string_view caption;     // the window's caption as shown
    std::vector<Label> labels;
};

const std::vector<WindowCaptions>& captionCatalogue();

// Entity names are compared exactly; field names without regard to case. Nothing when absent.
std::optional<std::string> windowCaption(std::string_view entityName);
std::optional<std::string> fieldLabel(std::string_view entityName, std::string_view fieldName);

}  // namespace kapred
