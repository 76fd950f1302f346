#include "import/run_outcome.h"

namespace kapred {

void tell(UserInterface& ui, const RunOutcome& outcome, const ErrorFileShown& showErrorFile) {
    for (const Notice& notice : outcome.notices) {
        switch (notice.kind) {
            case NoticeKind::Information:
                MsgInformacion(ui, notice.text);
                break;
            case NoticeKind::Error:
                MsgError(ui, notice.text);
                break;
            case NoticeKind::ErrorFile:
                if (showErrorFile) {
                    showErrorFile(std::filesystem::path(notice.text));
                }
                break;
        }
    }
}

}  // namespace kapred
