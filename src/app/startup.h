#pragma once

#include <filesystem>
#include <string>

#include "app/context.h"
#include "app/msg_ini.h"

namespace kapred {

// What the front end shows at each step of the start-up and the exit. The command line reports
// in text; the desktop program opens its windows.
class StartupObserver {
public:
    virtual ~StartupObserver() = default;
    virtual void databaseCreated(const std::filesystem::path&) {}
    // A shipped database copied into the program directory at its first start.
    virtual void databaseCopied(const std::filesystem::path&) {}
    virtual void databaseOpened(const std::string& /*handle*/, const std::filesystem::path&) {}
    virtual void showSplash() {}
    // The message is active; the window may switch it off with NoMostrarMas.
    virtual void showStartupMessage(BCMsgIni&) {}
    virtual void showMainWindow() {}
    // At exit, after the compaction and before the scramble.
    virtual void closeWindows() {}
};

inline constexpr const char* kMainCaption = "Kapredia v1.0";
inline constexpr const char* kAlreadyRunning = "El sistema Kapred ya se está ejecutando en este equipo!";
inline constexpr const char* kEnterThroughHost = "El ingreso al sistema Kapred debe realizarse a través del Orel.";

// Whom a start serves: a taxpayer, as the host starts the program; or the program alone, for the
// command line's work that concerns no taxpayer (sections, import formats, system tables, a file
// to inspect), which needs no CUIT and leaves the host's databases closed.
enum class Serving { Taxpayer, ProgramAlone };

// The start-up: the program directory (made and stocked at the first start, see
// app/installation.h), one running copy, the CUIT of the command line, the own database (created
// when missing; checked and repaired when damaged after a run that did not exit normally), the
// four databases, the start-up message and the number settings, in this order.
// Returns when the program runs; ends it by raising ProgramEnd after telling the user why.
void Main(Context& context, StartupObserver& observer, Serving serving = Serving::Taxpayer);

// The exit: close every database, restore the number settings, compact the own database when
// enough of it lies free, close the windows, scramble the file again and mark the run finished
// (see InstanceLock). False when the
// compaction failed (the user was told).
bool Shutdown(Context& context, StartupObserver& observer);

}  // namespace kapred
