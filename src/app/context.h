#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/instance_lock.h"
#include "data/business_object.h"
#include "data/engine/engine.h"
#include "data/object_factory.h"
#include "data/regional_settings.h"
#include "data/user_interface.h"
#include "data/values/datetime.h"

namespace kapred {

// The program-wide state of one run: the program directory, the command line the host gave,
// the open databases, the number settings and the clock. Passed in rather than kept in hidden
// globals, so that tests can run several in one process and fix the time.
struct Context {
    Context(std::filesystem::path appPath, std::string commandLine, UserInterface& ui,
            RegionalSettings regional = RegionalSettings());

    std::filesystem::path appPath;  // the program directory
    std::string commandLine;        // the whole argument text the host passed
    UserInterface& ui;
    db::Engine engine;
    std::shared_ptr<db::Database> g_dbAplicativo;  // Kapred.mdb: declarations
    std::shared_ptr<db::Database> g_dbTablas;      // the shipped system tables
    std::shared_ptr<db::Database> g_dbOrel;        // the host's taxpayers
    std::shared_ptr<db::Database> g_dbSistema;     // the host's reference data
    RegionalSettings regional;
    std::function<DateTime()> clock;
    InstanceLock instanceLock;
    ObjectFactory factory;
    // The declaration being worked on (its header object; the model's currentHeader gives it
    // with its own operations); every section object takes its key from it.
    std::shared_ptr<BusinessObject> currentDeclaration;
    // The taxpayer's number in the host's data, stored when its activity is read.
    long ncontrib = 0;

    std::filesystem::path appDatabasePath() const;
    std::filesystem::path systemDatabasePath() const;
    // The host's databases live in the parent of the program directory.
    std::filesystem::path hostDirectory() const;
    // The command line's CUIT without dashes.
    std::string cuit() const;
    // The separators numbers are read and written with now.
    NumberFormat numberFormat() const { return regional.numberFormat(); }
};

// The program directory: the one given (the command line's --home), else KAPRED_HOME, else the
// user's folder under the XDG data home.
std::filesystem::path programDirectory(const std::string& given = {});

// The current local date and time, to the second.
DateTime systemClock();

}  // namespace kapred
