#pragma once

#include <functional>

struct sqlite3;

namespace kapred::db {

class Database;

// While it lives, the database calls tick every `steps` steps of the statement it is running,
// so that the caller of a long statement (a list of a million rows deleted among other
// declarations' rows) can repaint its windows meanwhile. tick must not use the database; what it
// raises is dropped. One hook at a time on a database, which stays open while the hook lives.
class ProgressHook {
public:
    ProgressHook(Database& database, int steps, std::function<void()> tick);
    ~ProgressHook();
    ProgressHook(const ProgressHook&) = delete;
    ProgressHook& operator=(const ProgressHook&) = delete;

private:
    static int called(void* self);

    sqlite3* connection_;
    std::function<void()> tick_;
};

}  // namespace kapred::db
