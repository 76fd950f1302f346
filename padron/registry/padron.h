#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/backup.h"
#include "app/context.h"
#include "registry/registry.h"

namespace kapred::padron {

// One run of the registry, for the window and the command line alike: Kapred's program
// directory, the two databases in its parent (created at the first start) and the registry over
// them. The context holds the open databases as Kapred names them (g_dbOrel, g_dbSistema).
class Padron {
public:
    // Creates what is missing and opens both databases; raises Error, with the file named, when
    // one cannot be made or used.
    Padron(const std::filesystem::path& programDirectory, UserInterface& ui);

    Context& context() { return *context_; }
    Registry& registry() { return *registry_; }
    const std::filesystem::path& programDirectory() const { return context_->appPath; }
    // The databases this start created, for the first start to tell.
    const std::vector<std::filesystem::path>& created() const { return created_; }

    // Removes the taxpayer once the user agrees. The question says how many declarations Kapred
    // keeps for it, which stay where they are. True when it was removed; a CUIT not registered
    // is told.
    bool eliminar(const std::string& cuit);

    // The backup of the registry's two databases, kept and checked as Kapred keeps its own.
    BackupContents backupContents() const;

private:
    std::unique_ptr<Context> context_;
    std::vector<std::filesystem::path> created_;
    std::unique_ptr<Registry> registry_;
};

inline constexpr const char* kRegistryTitle = "Contribuyentes";

}  // namespace kapred::padron
