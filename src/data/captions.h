#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kapred {

// The captions of one entry window: its own caption and those of its labels, keyed by the
// field or total they name (the label control is "lbl" + that name).
struct WindowCaptions {
    std::string entityName;                                   // "ActivoComputable"
    std::string windowName;                                   // "frmActivoComputable"
    std::string caption;                                      // the window's caption as shown
    std::vector<std::pair<std::string, std::string>> labels;  // field -> caption as shown, "&" kept
};

const std::vector<WindowCaptions>& captionCatalogue();

// Entity names are compared exactly; field names without regard to case. Nothing when absent.
std::optional<std::string> windowCaption(std::string_view entityName);
std::optional<std::string> fieldLabel(std::string_view entityName, std::string_view fieldName);

}  // namespace kapred
