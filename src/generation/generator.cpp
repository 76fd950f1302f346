#include "generation/generator.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <system_error>
#include <thread>

#include "app/context.h"
#include "app/user_files.h"
#include "data/engine/database.h"
#include "data/values/error.h"
#include "generation/agency_libraries.h"
#include "generation/declaration_records.h"
#include "generation/delivery.h"
#include "generation/delivery_receipts.h"
#include "generation/directories.h"
#include "generation/form_totals.h"
#include "generation/verification_number.h"
#include "model/liabilities.h"

namespace kapred {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = 1024;

// A file name of the Windows directory matches a pattern "prefix*suffix", letters compared
// without regard to case as the old file system did.
bool matches(const std::string& name, std::string_view prefix, std::string_view suffix) {
    const auto lower = [](std::string text) {
        for (char& each : text) {
            if (each >= 'A' && each <= 'Z') {
                each = static_cast<char>(each - 'A' + 'a');
            }
        }
        return text;
    };
    if (name.size() < prefix.size() + suffix.size()) {
        return false;
    }
    const std::string text = lower(name);
    return text.compare(0, prefix.size(), lower(std::string(prefix))) == 0 &&
           text.compare(text.size() - suffix.size(), suffix.size(), lower(std::string(suffix))) == 0;
}

// What a copy to the destination killed half-way left there: the hidden ".NAME.B64.XXXXXX".
void removeCopyLeftovers(const std::string& destination) {
    if (!destination.empty()) {
        db::removeLeftoversBeside(destination, [](const std::string& name) { return matches(name, "", ".B64"); });
    }
}

}  // namespace

bool bUnidadLista(UserInterface& ui, const fs::path& root) {
    std::error_code error;
    const fs::directory_iterator listing(root, error);
    if (!error) {
        return true;
    }
    MsgError(ui, kDriveNotReady);
    return false;
}

bool bDestinoSeleccionado(UserInterface& ui, const std::string& destination) {
    if (!destination.empty()) {
        return true;
    }
    ui.showInconsistencies(kNoDestinationTitle, {kNoDestination});
    return false;
}

bool bComponentesInstalados(Context& context) {
    if (bSarquelInstalado(context)) {
        return true;
    }
    context.ui.showInconsistencies(kMissingComponentTitle, {kMissingComponent});
    return false;
}

GenerationOutcome GenerarEnDestino(BGenerarDJs& generator, const std::string& destination) {
    Context& context = generator.context_;
    if (!bDestinoSeleccionado(context.ui, destination)) {
        return GenerationOutcome::NoDestination;
    }
    std::error_code error;
    const fs::path folder = fs::absolute(destination, error);
    if (error || !fs::is_directory(folder, error)) {
        context.ui.showInconsistencies(kNoDestinationTitle,
                                       {"La carpeta de destino " + destination + " no existe o no es una carpeta."});
        return GenerationOutcome::NoDestination;
    }
    if (!bComponentesInstalados(context)) {
        return GenerationOutcome::NoComponent;
    }
    generator.Destino = folder.string();
    const GenerationOutcome outcome = generator.GenerarDJs();
    if (outcome == GenerationOutcome::Delivered) {
        registrarEntrega(context, generator);
    }
    return outcome;
}

std::optional<fs::path> CrearCarpeta(BGenerarDJs& generator, const fs::path& parent, const std::string& name) {
    // Only one folder, right inside the chosen one: a name with a "/" would reach elsewhere.
    const bool oneName = name.find_first_not_of(' ') != std::string::npos && name != "." && name != ".." &&
                         name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
    std::error_code error;
    // Without a chosen folder the name would land wherever the program happens to run.
    if (oneName && parent.is_absolute() && fs::create_directory(parent / name, error) && !error) {
        return parent / name;
    }
    generator.g_vecErroresInconsistencia.clear();
    generator.g_vecErroresInconsistencia.addLine(kFolderNotCreated);
    std::vector<std::string> lines;
    for (const auto& entry : generator.ErroresInconsistencia().entries()) {
        lines.push_back(entry.message);
    }
    generator.context_.ui.showInconsistencies(kFolderNotCreatedTitle, lines);
    return std::nullopt;
}

BGenerarDJs::BGenerarDJs(Context& context, GenerationEvents* events) : context_(context), events_(events) {}

BGenerarDJs::~BGenerarDJs() = default;

void BGenerarDJs::closeFiles() {
    if (file_.is_open()) {
        file_.close();
    }
}

std::vector<std::string> BGenerarDJs::generationInconsistencies() const {
    std::vector<std::string> lines;
    for (const auto& entry : generationList_.entries()) {
        lines.push_back(entry.message);
    }
    return lines;
}

void BGenerarDJs::UpdateVectorInconsistenciasGeneracion(const std::string& message) {
    generationList_.addLine(message);
}

void BGenerarDJs::showGenerationInconsistencies() {
    context_.ui.showInconsistencies(kGenerationInconsistenciesTitle, generationInconsistencies());
}

GenerationOutcome BGenerarDJs::GenerarDJs() {
    if (!encryptedFile_.empty()) {
        return CopiarADestino();
    }
    // Every record and the verification number are read under one lock, so that they all come
    // from the same state of the declaration, no statement takes the lock anew and the totals
    // the records and the number share are summed once.
    const db::ReadTransaction pass(*context_.g_dbAplicativo);
    recordCount_ = 0;
    encryptedFile_.clear();
    generationList_.clear();
    lastError_.reset();

    // A failure of the temporary file, the records or the header file ends the generation here:
    // nothing built by the failed step is encrypted or copied.
    bool generated = AbrirTemporal() && GenerarDatosDJ();
    if (!generated && generationList_.isNull()) {
        std::string what = lastError_.value_or(std::string("error desconocido"));
        if (what.empty() || what.back() != '.') {
            what += '.';
        }
        UpdateVectorInconsistenciasGeneracion("No se pudo generar el archivo de la Declaración Jurada: " + what);
    }
    generated = generated && AgregarCabecera();
    if (!generated) {
        closeFiles();
        showGenerationInconsistencies();
        return GenerationOutcome::NotGenerated;
    }
    keptFile_.clear();
    if (!plainCopy.empty() && !writePlainCopy()) {
        DeleteArchivo(headerFile_);
        return !keptFile_.empty() ? GenerationOutcome::ReplaceRefused : GenerationOutcome::NotGenerated;
    }
    if (!EncriptarArchivo()) {
        return GenerationOutcome::NotEncrypted;
    }
    return CopiarADestino();
}

bool BGenerarDJs::AbrirTemporal() {
    closeFiles();
    try {
        figures_ = CalcularCifrasDeclaracion(context_);
    } catch (const Error& error) {
        UpdateVectorInconsistenciasGeneracion(
            "No se pudo calcular el Número de Verificación de la Declaración Jurada: " + error.description() +
            " No se generó el archivo.");
        return false;
    }
    const std::string windows = DirWindows(context_);
    if (windows.empty()) {
        UpdateVectorInconsistenciasGeneracion(
            "No se puede crear la carpeta de trabajo del programa: no se generó el archivo.");
        return false;
    }
    temporaryFile_ = windows + "TP" + figures_.numeroVerificacion + ".CIG";
    headerFile_.clear();
    if (openingPause.count() > 0) {
        std::this_thread::sleep_for(openingPause);
    }
    file_.open(db::createWorkFile(temporaryFile_));
    if (!file_.is_open()) {
        UpdateVectorInconsistenciasGeneracion("No se pudo crear el archivo temporal " + temporaryFile_ + ": " +
                                              db::systemError(errno) + ".");
        return false;
    }
    return true;
}

void BGenerarDJs::InformarProgreso(long step, double withinNext) {
    const double percent = (static_cast<double>(step) + withinNext) * 100.0 / static_cast<double>(totalSteps_);
    context_.ui.showProgress(percent);
    if (events_ != nullptr) {
        events_->Progreso(percent, step, totalSteps_);
    }
}

void BGenerarDJs::ErrorLargoRegistro(const std::string& recordType) {
    UpdateVectorInconsistenciasGeneracion("El largo del registro Número " + recordType + " es incorrecto." +
                                          " Este error se puede producir porque algún de los importes del "
                                          "registro supera el largo permitido.");
}

bool BGenerarDJs::GenerarDatosDJ() {
    totalSteps_ = 12;
    generationList_.clear();
    currentStep_ = 0;
    lastError_.reset();
    try {
        if (!file_.is_open()) {
            throw Error(err::kFileNotOpen, "GenerarDatosDJ", "El archivo temporal no está abierto");
        }
        // The windows repaint while a list of a million rows is written.
        const auto rowsProgress = [this](double share) { InformarProgreso(currentStep_, share); };
        struct Writer {
            const char* recordType;
            std::function<long(std::ostream&)> write;
        };
        const Writer writers[] = {
            {"01", [this](std::ostream& out) { return tipo01(context_, out); }},
            {"02", [this](std::ostream& out) { return tipo02(context_, out); }},
            {"04", [this](std::ostream& out) { return tipo04(context_, out); }},
            {"05",
             [&](std::ostream& out) {
                 BPagosCuenta payments(context_);
                 return sGenerarRegistrointerface(payments, out, rowsProgress);
             }},
            {"06",
             [&](std::ostream& out) {
                 BAnticipos advances(context_);
                 return sGenerarRegistrointerface(advances, out, rowsProgress);
             }},
            {"90", [this](std::ostream& out) { return BPrintDDJJ(context_).sGenerarRegistrointerfaceF369(out); }},
        };
        for (const Writer& writer : writers) {
            const long result = writer.write(file_);
            if (result < 0) {
                ErrorLargoRegistro(writer.recordType);
                return false;
            }
            recordCount_ += result;
            ++currentStep_;
            InformarProgreso(currentStep_);
        }
        for (const std::string& record : {tipo91(), tipo99(context_)}) {
            if (!record.empty()) {
                file_.write(record.data(), static_cast<std::streamsize>(record.size()));
                file_.put('\n');
                ++recordCount_;
            }
            ++currentStep_;
            InformarProgreso(currentStep_);
        }
        if (!file_.close()) {
            throw Error(
                err::kCannotWrite, "GenerarDatosDJ",
                "No se pudo escribir el archivo temporal " + temporaryFile_ + ": " + db::systemError(file_.error()));
        }
        InformarProgreso(totalSteps_);
        return true;
    } catch (const Error& error) {
        lastError_ = error.description();
    } catch (const std::exception& error) {
        lastError_ = error.what();
    }
    return false;
}

std::string BGenerarDJs::tipo91() {
    return kapred::tipo91(context_);
}

bool BGenerarDJs::AgregarCabecera() {
    closeFiles();
    headerFile_ = temporaryFile_.substr(0, temporaryFile_.size() - 3) + "cab";
    const auto fail = [this](const std::string& why) {
        DeleteArchivo(headerFile_);
        UpdateVectorInconsistenciasGeneracion("No se pudo armar el archivo de cabecera " + headerFile_ + ": " + why +
                                              ". No se encriptó ni se copió ningún archivo.");
        return false;
    };
    // The line first: a count it cannot carry stops the generation before any file is written.
    std::string line;
    try {
        line = ArmarCabecera(1, 1, recordCount_) + "\n";
    } catch (const Error& error) {
        return fail(error.description());
    }
    std::ifstream records(temporaryFile_, std::ios::binary);
    if (!records.is_open()) {
        return fail("no se puede leer el archivo temporal " + temporaryFile_);
    }
    db::FileStream header;
    header.open(db::createWorkFile(headerFile_));
    if (!header.is_open()) {
        return fail(db::systemError(errno));
    }
    header.write(line.data(), static_cast<std::streamsize>(line.size()));
    char block[kBlock];
    while (records.read(block, sizeof block) || records.gcount() > 0) {
        header.write(block, records.gcount());
    }
    if (records.bad()) {
        return fail("no se pudo leer el archivo temporal " + temporaryFile_);
    }
    if (!header.close()) {
        return fail(db::systemError(header.error()));
    }
    return true;
}

bool BGenerarDJs::writePlainCopy() {
    switch (chooseUserFile(context_, plainCopy)) {
        case FileChoice::Write:
            break;
        case FileChoice::Kept:
            keptFile_ = plainCopy;
            return false;
        case FileChoice::Forbidden:
            return false;
    }
    const CopyResult copy = copyIntoPlace(headerFile_, plainCopy);
    if (!copy.error.empty()) {
        MsgError(context_.ui, "No se pudo escribir la copia legible del archivo en " + plainCopy + ". " + copy.error +
                                  " No se encriptó ni se copió ningún archivo.");
        return false;
    }
    return true;
}

bool BGenerarDJs::EncriptarArchivo() {
    if (events_ != nullptr) {
        events_->EstadoEncriptacion(kEncryptionWorking);
    }
    const std::string result = EncriptarSarquel(context_, headerFile_);
    if (result == kEncryptionError) {
        encryptedFile_.clear();
        return false;
    }
    encryptedFile_ = result;
    if (events_ != nullptr) {
        events_->EstadoEncriptacion(kEncryptionFinished);
    }
    return true;
}

std::uintmax_t BGenerarDJs::CopyFile(const std::string& source, const std::string& destination) {
    keptFile_.clear();
    if (!ReemplazarArchivo(context_.ui, destination)) {
        keptFile_ = destination;
        return 0;
    }
    const CopyResult copy = copyIntoPlace(source, destination, [this](double percent) {
        copyPercent_ = percent;
        if (events_ != nullptr) {
            events_->ProgresoCopia(percent);
        }
    });
    copyError_ = copy.error;
    return copy.bytes;
}

GenerationOutcome BGenerarDJs::CopiarADestino() {
    const std::string source = DirWindows(context_) + encryptedFile_;
    const std::string destination = (fs::path(Destino) / encryptedFile_).string();
    copyError_.clear();
    removeCopyLeftovers(Destino);
    const std::uintmax_t copied = CopyFile(source, destination);
    closeFiles();
    if (copied != 0) {
        // Where the file went, for the user to find it and hand it in.
        context_.ui.showMessage(MessageIcon::Information, kGeneratedTitle,
                                std::string(kGenerated) + "\nArchivo: " + destination);
        if (events_ != nullptr) {
            events_->ProgresoCopia(0);
        }
        return GenerationOutcome::Delivered;
    }
    if (!keptFile_.empty()) {
        return GenerationOutcome::ReplaceRefused;
    }
    MsgError(context_.ui, "No se pudo copiar el archivo de la Declaración Jurada a " + destination + ". " + copyError_ +
                              " Lo que hubiera en el destino no se modificó.");
    return GenerationOutcome::NotCopied;
}

bool BGenerarDJs::EliminarTemporales() {
    removeCopyLeftovers(Destino);
    const std::string windows = DirWindows(context_);
    if (windows.empty()) {
        return true;
    }
    std::error_code error;
    if (!encryptedFile_.empty() && fs::exists(windows + encryptedFile_, error)) {
        if (!fs::remove(windows + encryptedFile_, error)) {
            return false;
        }
    }
    for (const auto& [prefix, suffix] : {std::pair<std::string_view, std::string_view>{"TP", ".CIG"},
                                         std::pair<std::string_view, std::string_view>{"", ".B64"}}) {
        std::vector<fs::path> found;
        for (fs::directory_iterator it(windows, error), end; !error && it != end; it.increment(error)) {
            if (it->is_regular_file(error) && matches(it->path().filename().string(), prefix, suffix)) {
                found.push_back(it->path());
            }
        }
        if (error) {
            return false;
        }
        for (const fs::path& path : found) {
            if (!fs::remove(path, error)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace kapred
