#include "data/engine/progress_hook.h"

#include <sqlite3.h>

#include "data/engine/database.h"

namespace kapred::db {

ProgressHook::ProgressHook(Database& database, int steps, std::function<void()> tick)
    : connection_(database.handle()), tick_(std::move(tick)) {
    sqlite3_progress_handler(connection_, steps, &ProgressHook::called, this);
}

ProgressHook::~ProgressHook() {
    sqlite3_progress_handler(connection_, 0, nullptr, nullptr);
}

int ProgressHook::called(void* self) {
    try {
        static_cast<ProgressHook*>(self)->tick_();
    } catch (...) {
        // Nothing may cross SQLite; a tick that failed does not stop the statement.
    }
    return 0;
}

}  // namespace kapred::db
