// Commands that print to PDF files, without a display: the form 369 of a declaration, its work
// papers and the positions of an import format, drawn as the print window draws them. They run in
// kapred-cli-print, to which kapred-cli hands them.
#include <QGuiApplication>

#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/print_command_line.h"
#include "cli/standard_stream.h"
#include "data/engine/schema.h"
#include "print/reports.h"

namespace kapred::cli {

namespace {

namespace fs = std::filesystem;

// The toolkit's own notes (no runtime folder, a platform without some feature) mean nothing to
// the command's user and would mix with its messages; its errors go where the program's messages
// go (with JSON, into the report on standard error), not around them.
QtMessageHandler toolkitHandler = nullptr;

void quietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << message.toStdString() << std::endl;
    }
}

// The GUI module draws text with fonts only while an application object exists; the offscreen
// platform needs no display.
class PrintingApplication {
public:
    PrintingApplication() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        toolkitHandler = qInstallMessageHandler(quietToolkit);
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    ~PrintingApplication() {
        app_.reset();
        qInstallMessageHandler(toolkitHandler);
    }
    PrintingApplication(const PrintingApplication&) = delete;
    PrintingApplication& operator=(const PrintingApplication&) = delete;

private:
    int argc_ = 1;
    char name_[11] = "kapred-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

// "-" sends the PDF to standard output once it is whole; the results are told aside.
int write(Session& session, const print::PrintJob& job, const std::string& pdf) {
    std::optional<StandardStreamFile> standardOutput;
    if (pdf == "-") {
        standardOutput.emplace(session.context());
    }
    const fs::path file = standardOutput ? standardOutput->path() : fs::absolute(pdf);
    if (!print::savePdf(session.context(), job, file)) {
        return kExitFailure;
    }
    if (standardOutput) {
        standardOutput->toStandardOutput();
        resultsAside();
    }
    nlohmann::ordered_json result;
    result["Archivo"] = standardOutput ? pdf : file.string();
    result["Informes"] = job.reports.size();
    print(result);
    return 0;
}

std::optional<WorkPaperKind> workPaperNamed(const std::string& given) {
    if (db::equalsIgnoreCase(given, kWorkPapersRootKey)) {
        return std::nullopt;
    }
    const auto paper = findWorkPaper(given);
    if (!paper) {
        throw CommandFailure("No hay papel de trabajo de " + given +
                             ". Secciones: ActivoExento, ActivoComputable, Pasivo, Anticipos, PagosCuenta, o DJ para "
                             "todas.");
    }
    return paper;
}

}  // namespace

void addPrintCommands(CLI::App& app, std::vector<Command>& commands) {
    const PrintCommandLine line = addPrintCommandLine(app);
    const auto arguments = line.arguments;
    commands.push_back({line.form, [arguments](Session& session) {
                            session.declaration(arguments->code);
                            PrintingApplication application;
                            return write(session, print::formJob(session.context()), arguments->pdf);
                        }});
    commands.push_back({line.paper, [arguments](Session& session) {
                            const auto kind = workPaperNamed(arguments->section);
                            session.declaration(arguments->code);
                            PrintingApplication application;
                            return write(session, print::workPaperJob(session.context(), kind), arguments->pdf);
                        }});
    commands.push_back({line.format, [arguments](Session& session) {
                            Context& context = session.context();
                            const auto found = findFormatByNumberOrName(context, arguments->format);
                            if (!found) {
                                throw CommandFailure("No existe el formato " + arguments->format + ".");
                            }
                            PrintingApplication application;
                            return write(session, print::formatJob(context, *found), arguments->pdf);
                        }});
}

}  // namespace kapred::cli
