#pragma once

#include <string>
#include <vector>

#include "generation/file_inspector.h"

namespace kapred {

struct Context;

// "Verificar": what the generation of the current declaration's file would refuse, and what
// looks wrong although it is allowed, found before anything is encrypted or delivered.

inline constexpr const char* kCheckTitle = "Verificación de la Declaración Jurada";

// The file of the current declaration built as the generation builds it, in the work folder,
// and read back; nothing is encrypted or delivered. When `plainCopy` is given the file is also
// written there, asking before a file there is replaced.
struct DryRun {
    bool built = false;
    std::string file;  // the header line and the records, when built
    long recordCount = 0;
    std::string verificationNumber;
    std::vector<std::string> refusals;  // why it was not built, or the faults of what was built
    FileInspection inspection;
};
DryRun generarEnSeco(Context& context, const std::string& plainCopy = {});

struct DeclarationCheck {
    std::vector<std::string> refusals;  // the generation would refuse the declaration
    std::vector<std::string> warnings;  // allowed, but worth a look
    DryRun dryRun;
    // Both lists, the refusals first, as the inconsistency window shows them.
    std::vector<std::string> lines() const;
};
// Every saved row of every section through its validation, the figures the generation needs,
// the host's data of the taxpayer and a dry run of the file.
DeclarationCheck VerificarDJ(Context& context);

}  // namespace kapred
