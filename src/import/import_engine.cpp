#include "import/import_engine.h"

#include <system_error>
#include <utility>

#include "data/engine/dialect.h"
#include "data/engine/files.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "data/validation.h"
#include "data/values/error.h"
#include "data/values/numeric_text.h"
#include "data/values/text.h"
#include "data/windows1252.h"
#include "import/export.h"
#include "import/import_formats.h"
#include "model/sections.h"
#include "model/tables/tables.h"

namespace kapred {

namespace {

namespace fs = std::filesystem;

bool isList(const std::string& table) {
    const auto section = findSection(table);
    return section && section->kind() == SectionKind::List;
}

// The number the next row of a list section will take; 0 for a single-row section.
long nextListRow(Context& context, const SectionObject& object, const std::string& table) {
    return isList(table) ? lGetNextId(*context.g_dbAplicativo, *object.Entity, kListIndex,
                                      std::string(tables::ListSection::ID.name), context.numberFormat())
                         : 0;
}

std::string counted(long number, NumberFormat format) {
    return formatAmount(Currency::fromUnits(number), 0, true, format);
}

constexpr const char* kLayoutFailure = "Error al intentar obtener parámetros del Formato elegido!.";
constexpr const char* kLengthFailure = "Error al intentar obtener propiedades de línea a importar!.";
constexpr const char* kOpenFailure = "Error al intentar abrir los archivos requeridos!.";
constexpr const char* kReopenFailure = "Error al intentar reabrir archivo a importar!.";
constexpr const char* kLineFailure = "Error al intentar leer y validar cadena a importar!.";
constexpr const char* kBadlyBuilt = "El Archivo de Importación se encuentra mal confeccionado!";
constexpr const char* kUneven =
    "Las longitudes de los registros no son todas iguales o no son iguales a las definidas.";

// The program's text for a failed step, followed by what went wrong.
std::string withReason(const char* text, const std::exception& failure) {
    const auto* raised = dynamic_cast<const Error*>(&failure);
    return std::string(text) + " " + (raised != nullptr ? raised->description() : failure.what());
}

// The placed fields of a format for one section: its values are the format and the section's import code.
constexpr const char* kLayoutQuery =
    "SELECT Importacion_DesdeHasta.IdFormato, Importacion_DesdeHasta.Codigo_Import,"
    "Importacion_DesdeHasta.IdCampo, Importacion_DesdeHasta.Desde,Importacion_DesdeHasta.Hasta, "
    "Importacion_Campos.Nombre_Campo,Importacion_CodigoTabla.Nombre_Tabla FROM (Importacion_DesdeHasta "
    "INNER JOIN Importacion_Campos ON Importacion_DesdeHasta.IdCampo = Importacion_Campos.IdCampo) INNER "
    "JOIN Importacion_CodigoTabla ON Importacion_DesdeHasta.Codigo_Import = "
    "Importacion_CodigoTabla.Codigo_Tabla Where (((Importacion_DesdeHasta.IdFormato) = ?) And "
    "((Importacion_DesdeHasta.Codigo_Import) = ?))";

std::size_t asPosition(const Variant& value) {
    const auto number = value.toWholeNumber().value_or(0);
    return number > 0 ? static_cast<std::size_t>(number) : 0;
}

}  // namespace

std::uint64_t roundedQuotient(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t quotient = a / b;
    const std::uint64_t twice = (a % b) * 2;
    if (twice > b || (twice == b && quotient % 2 == 1)) {
        return quotient + 1;
    }
    return quotient;
}

ImportRun::ImportRun(Context& context) : context_(context), cancel_(&ownCancel_) {}

ImportRun::~ImportRun() {
    try {
        commitBatch();
    } catch (...) {
        // Left in the middle of a run: what the database keeps is all that can be kept.
    }
    closeFiles();
}

void ImportRun::LimpiarImportacion() {
    closeFiles();
    formatId = 0;
    importCode = 0;
    inputPath.clear();
    errorFileName.clear();
    cancel_->store(false);
    state_ = State::Idle;
    layout_.clear();
    recordLength_ = 0;
    fileSize_ = 0;
    estimatedLines_ = 0;
    lineEnd_ = {};
    progress_ = 0;
    linesRead_ = 0;
    errors_ = 0;
    batchStored_ = 0;
    stored_ = 0;
    failure_.clear();
    problems_ = {};
    currentLine_.clear();
    lineErrorText_.clear();
    object_.reset();
}

fs::path ImportRun::errorFilePath() const {
    return context_.appPath / errorFileName;
}

void ImportRun::closeFiles() {
    if (input_ != nullptr) {
        std::fclose(input_);
        input_ = nullptr;
    }
    if (errorFile_ != nullptr) {
        if (std::fclose(errorFile_) != 0 && errorFileError_ == 0) {
            errorFileError_ = errno;
        }
        errorFile_ = nullptr;
    }
}

// The error file is read on Linux: its line ends are line feeds, its text UTF-8.
void ImportRun::writeRaw(const std::string& raw) {
    const std::string text = withLineFeeds(raw);
    if (errorFile_ != nullptr && std::fwrite(text.data(), 1, text.size(), errorFile_) != text.size() &&
        errorFileError_ == 0) {
        errorFileError_ = errno;
    }
}

void ImportRun::gatherError(const std::string& text) {
    lineErrorText_ += text + "\r";
    writeRaw(lineErrorText_ + "\r\n");
}

void ImportRun::lineError() {
    gatherError("Error en la línea " + std::to_string(linesRead_) + " del archivo de importación : " + lineErrorText_ +
                "\r\n");
    ++errors_;
}

bool ImportRun::ImportarArchivo() {
    closeFiles();
    errorFileError_ = 0;
    problems_ = {};
    state_ = State::Failed;
    const bool complete = prepare() && readLines();
    object_.reset();
    if (complete) {
        context_.ui.showProgress(100);
        context_.ui.showProgress(0);
    }
    closeFiles();
    if (errorFileError_ != 0) {
        problems_.fail("No se pudo escribir el archivo de errores " + errorFilePath().string() + ": " +
                       db::systemError(errorFileError_) + "; lo que contiene está incompleto.");
    }
    if (complete) {
        state_ = State::Finished;
    }
    return complete;
}

RunOutcome ImportRun::outcome() const {
    RunOutcome told;
    if (state_ == State::Finished && errors_ < 1) {
        told.inform("El Proceso ha finalizado correctamente!");
    }
    told.notices.insert(told.notices.end(), problems_.notices.begin(), problems_.notices.end());
    return told;
}

bool ImportRun::prepare() {
    if (!declarationLoaded(context_)) {
        problems_.fail(kNoDeclaration);
        return false;
    }
    // 1. The layout: one row per placed field.
    try {
        auto layout = context_.g_dbTablas->openRecordset(kLayoutQuery, {formatId, importCode});
        if (layout->recordCount() < 1) {
            problems_.fail(kLayoutFailure);
            return false;
        }
        for (long r = 0; r < layout->recordCount(); ++r) {
            r == 0 ? layout->moveFirst() : layout->moveNext();
            layout_.push_back({asPosition(layout->value("Desde")), asPosition(layout->value("Hasta")),
                               layout->value("Nombre_Campo").toText(), layout->value("Nombre_Tabla").toText(), false});
        }
        // A format that writes its amounts with the point reads them back with it.
        const auto format = findFormat(context_, formatId);
        if (format && format->pointDecimal()) {
            auto kinds = context_.g_dbTablas->openRecordset(
                "select Nombre_Campo, tipo_campo from importacion_campos where codigo_import = ?", {importCode});
            for (auto& field : layout_) {
                kinds->findFirst("Nombre_Campo = ?", {field.fieldName});
                field.pointAmount = !kinds->noMatch() && kinds->value("tipo_campo").toWholeNumber() == kAmountField;
            }
        }
    } catch (const std::exception& failure) {
        problems_.fail(withReason(kLayoutFailure, failure));
        return false;
    }

    // 2. The record length, and the lines the file should hold for the progress.
    try {
        recordLength_ = kapred::recordLength(context_, formatId, importCode);
        fileSize_ = fs::file_size(inputPath);
        if (recordLength_ < 1) {
            problems_.fail(kLengthFailure);
            return false;
        }
        estimatedLines_ = static_cast<long>(roundedQuotient(fileSize_, static_cast<std::uint64_t>(recordLength_)));
    } catch (const std::exception& failure) {
        problems_.fail(withReason(kLengthFailure, failure));
        return false;
    }

    // 3. The error file, emptied, and the input file.
    // The error file holds the refused lines with the user's values: the user's alone, and
    // never written through a link planted at its name.
    db::FileHandle created = db::createWorkFile(errorFilePath());
    errorFile_ = created.valid() ? ::fdopen(created.get(), "wb") : nullptr;
    if (errorFile_ == nullptr) {
        problems_.fail(std::string(kOpenFailure) + " No se puede crear el archivo de errores " +
                       errorFilePath().string() + ": " + db::systemError(errno) + ". No se importó ninguna línea.");
        return false;
    }
    created.release();
    input_ = std::fopen(inputPath.c_str(), "rb");
    if (input_ == nullptr) {
        const int number = errno;
        closeFiles();
        problems_.fail(std::string(kOpenFailure) + " No se puede leer el archivo " + inputPath.string() + ": " +
                       db::systemError(number) + ". No se importó ninguna línea.");
        return false;
    }

    // 4. The line end, from the first bytes.
    std::string head(kLineEndWindow, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), input_));
    lineEnd_ = detectLineEnd(head);

    // 5. Every record the same length and ended the same way.
    if (lineEnd_.stride == 0) {
        problems_.fail(kBadlyBuilt);
        return false;
    }
    if (!recordsAreEven(input_, fileSize_, lineEnd_)) {
        problems_.fail(kUneven);
        return false;
    }

    // 6. Back to the start, to read lines.
    if (std::fseek(input_, 0, SEEK_SET) != 0) {
        gatherError(kReopenFailure);
        return false;
    }

    // 7. A short file does not move the progress.
    if (estimatedLines_ < 11) {
        progress_ = 100;
    }
    return true;
}

bool ImportRun::commitBatch() {
    if (!batch_) {
        return true;
    }
    auto batch = std::move(batch_);
    batchLines_ = 0;
    try {
        batch->commit();
        stored_ += std::exchange(batchStored_, 0);
        return true;
    } catch (const Error& error) {
        lostBatch(error.description());
        return false;
    }
}

void ImportRun::lostBatch(const std::string& reason) {
    batchStored_ = 0;
    failure_ = "las filas de las líneas " + std::to_string(batchFirstLine_) + " a " + std::to_string(batchLastLine_) +
               " no se guardaron: " + reason;
    gatherError("Las filas de las líneas " + std::to_string(batchFirstLine_) + " a " + std::to_string(batchLastLine_) +
                " no se guardaron: " + reason);
}

bool ImportRun::batchUndone() {
    return batch_ && !context_.g_dbAplicativo->inTransaction();
}

bool ImportRun::readLines() {
    UserInterface& ui = context_.ui;
    LineReader reader(input_, lineEnd_.kind);
    std::size_t length = 0;
    try {
        for (;;) {
            bool more = false;
            bool readFailed = false;
            try {
                more = reader.next(currentLine_, length);
            } catch (const std::exception&) {
                readFailed = true;
            }
            if (!more && !readFailed) {
                break;
            }
            ++linesRead_;
            if (progress_ != 100 && estimatedLines_ > 0) {
                const auto percent = static_cast<int>(
                    std::min<std::uint64_t>(100, roundedQuotient(static_cast<std::uint64_t>(linesRead_) * 100,
                                                                 static_cast<std::uint64_t>(estimatedLines_))));
                if (percent != progress_) {
                    progress_ = percent;
                    ui.showProgress(percent);
                }
            }
            if (cancel_->load()) {
                if (commitBatch()) {
                    state_ = State::Cancelled;
                }
                return false;
            }
            lineErrorText_.clear();
            if (readFailed) {
                // The file cannot be read any further: this line is logged and the run ends.
                gatherError(kLineFailure);
                lineError();
                commitBatch();
                return false;
            }
            switch (lineFault(currentLine_, length, static_cast<std::size_t>(recordLength_))) {
                case LineFault::Blank:
                    gatherError("* Línea en Blanco *");
                    break;
                case LineFault::Length:
                    gatherError("El Largo de Registro debe ser de " + std::to_string(recordLength_) +
                                " caracteres, se obtuvo " + std::to_string(length) + "\r");
                    break;
                case LineFault::None:
                    blankControlCharacters(currentLine_);
                    break;
            }
            if (!lineErrorText_.empty()) {
                lineError();
                continue;
            }
            if (!batch_) {
                batch_ = std::make_unique<db::Transaction>(*context_.g_dbAplicativo);
                batchFirstLine_ = linesRead_;
            }
            batchLastLine_ = linesRead_;
            storeLine(currentLine_);
            if (batchUndone()) {
                // The database gave the batch up by itself (a full disk): its rows are gone.
                batch_.reset();
                lostBatch("la base de datos deshizo la transacción.");
                return false;
            }
            if (++batchLines_ >= batchSize_ && !commitBatch()) {
                return false;
            }
        }
        if (!commitBatch()) {
            return false;
        }
    } catch (const std::exception& failure) {
        // A batch the database could not begin.
        batch_.reset();
        batchStored_ = 0;
        failure_ = withReason(kLineFailure, failure);
        gatherError(failure_);
        return false;
    }
    writeRaw(" \r\nCantidad de Registros Procesados: " + std::to_string(linesRead_) +
             "\r\nCantidad de Registros correctos cargados: " + std::to_string(linesRead_ - errors_) +
             "\r\nCantidad de Registros con errores: " + std::to_string(errors_) + "\r\n");
    return true;
}

void ImportRun::storeLine(const std::string& line) {
    const NumberFormat format = context_.numberFormat();
    try {
        if (!object_) {
            object_ = createSection(context_, layout_.front().tableName);
            if (object_) {
                firstNewRow_ = nextListRow(context_, *object_, layout_.front().tableName);
            }
        }
        if (!object_) {
            throw Error(err::kProgram, "ImportarArchivo",
                        "la sección " + layout_.front().tableName + " no se puede importar");
        }
        SectionObject* object = object_.get();
        lineValues_.clear();
        for (const auto& field : layout_) {
            std::string text = fromWindows1252(columns(line, field.from, field.to));
            if (field.pointAmount) {
                text = CambiaSignoDecimal(std::move(text), ",");
            }
            lineValues_.push_back({field.fieldName, Variant(std::move(text))});
        }
        if (const int kind = object->Aceptar(EntryMode::Adding, lineValues_); kind == 0) {
            ++batchStored_;
        } else {
            const std::string number = std::to_string(linesRead_);
            for (const auto& sentence : BuildInconsistencyLines(*object, kind, format)) {
                writeRaw("Error en la línea " + number + " : " + sentence + "\r");
            }
            ++errors_;
        }
    } catch (const std::exception& failure) {
        gatherError(withReason(kLineFailure, failure));
        lineError();
    }
}

namespace {

// The cancellation, with the rows that stayed; the user may have them deleted again. The question
// waits for the answer, so what was to be told before it is told first.
void tellCancellation(UserInterface& ui, ImportRun& run, ImportResult& result, NumberFormat numbers) {
    const std::string cancelled = "La Importación ha sido cancelada por el Usuario.";
    const long kept = run.stored();
    if (kept == 0) {
        result.inform(cancelled + " No quedó guardada ninguna fila del archivo.");
        return;
    }
    const std::string rows = kept == 1 ? "1 fila" : counted(kept, numbers) + " filas";
    tell(ui, result);
    result.notices.clear();
    if (!ui.askYesNo(MessageIcon::Question, "Confirmar!",
                     cancelled + " Quedaron guardadas en la declaración " + rows +
                         " del archivo.\n¿Desea eliminar las filas guardadas por esta importación?")) {
        return;
    }
    result.removed = run.removeStoredRows();
    result.inform("Se eliminaron las filas guardadas por esta importación: " + counted(result.removed, numbers) + ".");
}

}  // namespace

long ImportRun::removeStoredRows() {
    if (stored_ == 0 || layout_.empty()) {
        return 0;
    }
    const std::string& table = layout_.front().tableName;
    const auto section = createSection(context_, table);
    const bool list = isList(table);
    db::Transaction removal(*context_.g_dbAplicativo);
    SqlText rows = sBuildSelect(*context_.g_dbAplicativo, *section->Entity, list ? kListIndex : kPrimaryKey, "DELETE *",
                                "", context_.numberFormat());
    if (list) {
        rows.text += " AND ID >= ?";
        rows.values.emplace_back(firstNewRow_);
    }
    const long removed = context_.g_dbAplicativo->execute(rows.text, rows.values);
    removal.commit();
    stored_ -= removed;
    return removed;
}

ImportResult importFile(Context& context, long formatId, const fs::path& file, std::atomic<bool>* cancel) {
    ImportResult result;
    const NumberFormat numbers = context.numberFormat();
    const auto format = findFormat(context, formatId);
    if (!format) {
        result.fail("No existe el formato " + std::to_string(formatId) + ".");
        return result;
    }
    if (!declarationLoaded(context)) {
        result.fail(kNoDeclaration);
        return result;
    }
    std::error_code error;
    std::optional<std::string> why = db::whyNotAFile(file);
    const auto size = why ? 0 : fs::file_size(file, error);
    if (error) {
        why = db::systemError(error.value());
    }
    if (why) {
        result.fail("No se puede importar " + file.string() + ": " + *why + ".");
        return result;
    }
    if (size == 0) {
        result.inform("No existen datos para importar. Verifique el archivo de Importación.");
        result.outcome = ImportOutcome::NoData;
        return result;
    }
    ImportRun run(context);
    if (cancel != nullptr) {
        run.useCancelFlag(*cancel);
    }
    run.LimpiarImportacion();
    run.formatId = format->id;
    run.importCode = format->section;
    run.inputPath = file;
    run.errorFileName = kImportErrorFile;
    run.ImportarArchivo();
    result.notices = run.problems().notices;
    result.linesRead = run.linesRead();
    result.errors = run.errors();
    result.errorFile = run.errorFilePath();
    if (run.errors() > 0 && run.state() != ImportRun::State::Cancelled) {
        result.notices.push_back({NoticeKind::ErrorFile, result.errorFile.string()});
    }
    switch (run.state()) {
        case ImportRun::State::Finished:
            result.outcome = ImportOutcome::Finished;
            result.inform(std::string(run.errors() < 1 ? "La Importación ha finalizado correctamente!"
                                                       : "La Importación ha finalizado con errores!") +
                          "\nCantidad de Registros Procesados: " + counted(result.linesRead, numbers) +
                          "\nCantidad de Registros correctos cargados: " + counted(result.stored(), numbers) +
                          "\nCantidad de Registros con errores: " + counted(result.errors, numbers));
            break;
        case ImportRun::State::Cancelled:
            // The line at which the cancellation was seen was counted but not read.
            result.linesRead = run.linesRead() - 1;
            result.outcome = ImportOutcome::Cancelled;
            tellCancellation(context.ui, run, result, numbers);
            break;
        case ImportRun::State::Idle:
        case ImportRun::State::Failed:
            result.outcome = ImportOutcome::Failed;
            if (!run.failure().empty()) {
                result.fail("La Importación se detuvo en la línea " + std::to_string(run.linesRead()) + ": " +
                            run.failure() + " Quedaron guardadas " + std::to_string(run.stored()) +
                            " filas del archivo.");
            }
            break;
    }
    return result;
}

}  // namespace kapred
