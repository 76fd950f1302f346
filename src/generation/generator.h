#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "data/business_object.h"
#include "data/engine/files.h"
#include "generation/verification_number.h"

namespace kapred {

struct Context;
class UserInterface;

// Texts the generation shows.
inline constexpr const char* kGenerationInconsistenciesTitle = "Inconsistencias en la Generación de la DJ!";
inline constexpr const char* kGeneratedTitle = "Información!";
inline constexpr const char* kGenerated = "El Archivo correspondiente al F.369 ha sido generado correctamente!";
inline constexpr const char* kEncryptionWorking = "Generación de Archivo: Trabajando...";
inline constexpr const char* kEncryptionFinished = "Generación de Archivo: Terminado...";

// The generate dialog's checks before it starts a generation.
inline constexpr const char* kNoDestinationTitle = " Inconsistencias al Generar la Declaración Jurada";
inline constexpr const char* kNoDestination = "Debe seleccionar el Destino de la Presentación";
inline constexpr const char* kMissingComponentTitle = "Inconsistencia en la Generación de la DJ";
inline constexpr const char* kMissingComponent =
    "Uno de los componentes requeridos para este proceso no se encuentra instalado en su Sistema. "
    "Por "
    "favor, reinstale el Aplicativo.";

// The generate dialog's choice of the destination.
inline constexpr const char* kDriveNotReady = "La Unidad a la que intenta acceder no esta lista.";
inline constexpr const char* kFolderNotCreatedTitle = "Inconsistencia - Pantalla  Generar Archivo ";
inline constexpr const char* kFolderNotCreated =
    "El Sistema no ha podido crear la carpeta, ingrese otro nombre de carpeta";

// The drive (a removable medium, or the home folder) can be listed; otherwise the user is told
// under "Error" that it is not ready.
bool bUnidadLista(UserInterface& ui, const std::filesystem::path& root);

// A destination was chosen; otherwise the user is told so under kNoDestinationTitle.
bool bDestinoSeleccionado(UserInterface& ui, const std::string& destination);
// The encryption library is installed in the system directory; otherwise the user is told so
// under kMissingComponentTitle.
bool bComponentesInstalados(Context& context);

// What a generation tells the window that follows it, besides the messages. Every handler is
// called synchronously, before the generation goes on.
class GenerationEvents {
public:
    virtual ~GenerationEvents() = default;
    // After each step of the records: the percentage, the step and the number of steps (12).
    virtual void Progreso(double /*percent*/, long /*step*/, long /*steps*/) {}
    // During the copy to the destination, after each block; 0 once the success was told.
    virtual void ProgresoCopia(double /*percent*/) {}
    // Before and after the encryption.
    virtual void EstadoEncriptacion(const std::string& /*state*/) {}
};

// How a generation ended; the user has been told in each case but the refused replacement.
enum class GenerationOutcome {
    Delivered,       // the encrypted file is at the destination
    NotGenerated,    // the records or the files around them failed (the inconsistency window)
    NotEncrypted,    // the encryption made no file
    ReplaceRefused,  // the user kept the file already at the destination (or at the kept copy)
    NotCopied,       // the copy to the destination failed; what was there is unchanged
    NoDestination,   // no destination, or one that is not a folder: nothing was done
    NoComponent,     // the encryption library is missing: nothing was done
};

// Produces the file of form 369 of the current declaration: writes its records to a temporary
// file of the Windows directory, puts the header line in front of them, has the result
// encrypted and copies the encrypted file to the destination folder. One object serves one
// generate dialog: once it has encrypted a file, every further GenerarDJs only copies that same
// file to the destination chosen then.
//
// Record progress goes to the user interface's progress and to the events; the copy's progress
// and the encryption state to the events only.
class BGenerarDJs {
public:
    explicit BGenerarDJs(Context& context, GenerationEvents* events = nullptr);
    ~BGenerarDJs();
    BGenerarDJs(const BGenerarDJs&) = delete;
    BGenerarDJs& operator=(const BGenerarDJs&) = delete;

    // The whole generation, or only the copy once a file was encrypted. A failure of the records,
    // of the temporary file or of the header file is shown in the inconsistency window under
    // kGenerationInconsistenciesTitle, and nothing is encrypted or copied.
    GenerationOutcome GenerarDJs();
    // Opens the temporary file "TP" + the six-digit verification number + ".CIG" of the Windows
    // directory, emptied, after the opening pause. False, with the reason in the generation
    // inconsistency list, when there is no verification number or the file cannot be opened.
    bool AbrirTemporal();
    // Writes every record to the open temporary file and closes it: true when every writer
    // succeeded. A record of the wrong length puts ErrorLargoRegistro's message in the list; an
    // error raised by a writer ends it without a message (the error is kept, see lastError).
    bool GenerarDatosDJ();
    // Writes the header file (the temporary file's name ending in "cab" instead of "CIG"): the
    // header line with the record count, then the temporary file's bytes. False, with the reason
    // in the list and no header file left, when it cannot be written whole.
    bool AgregarCabecera();
    // One message more in the generation inconsistency list.
    void UpdateVectorInconsistenciasGeneracion(const std::string& message);
    // Copies a file to a destination, asking before it replaces one there (the one there stays
    // until the copy is complete): the bytes copied, 0 when the user kept the file there, the
    // source is empty or the copy failed. Tells the copy's progress to the events.
    std::uintmax_t CopyFile(const std::string& source, const std::string& destination);
    // Removes the encrypted file of this object, every "TP*.CIG" and every "*.B64" of the Windows
    // directory. Stops at the first file that cannot be removed and gives false.
    bool EliminarTemporales();
    // The list the generate dialog keeps its own messages in.
    const InconsistencyList& ErroresInconsistencia() const { return g_vecErroresInconsistencia; }
    // Record 91 of the current declaration's taxpayer, or the empty text.
    std::string tipo91();

    InconsistencyList g_vecErroresInconsistencia;
    // The destination folder, set before each generation.
    std::string Destino;
    // When set, the header file as it is handed to the encryption is also written there, for
    // the user to read what is submitted; a failure to write it stops the generation before the
    // encryption.
    std::string plainCopy;
    // How long AbrirTemporal waits before it opens the file.
    std::chrono::milliseconds openingPause{1000};

    const std::string& temporaryFile() const { return temporaryFile_; }
    const std::string& headerFile() const { return headerFile_; }
    // Relative to the Windows directory; empty until an encryption of this object succeeded.
    const std::string& encryptedFile() const { return encryptedFile_; }
    long recordCount() const { return recordCount_; }
    // What the last generation's file was made from, read with its records: its delivery's
    // receipt tells these, not what the declaration holds by then.
    const CifrasDeclaracion& cifras() const { return figures_; }
    // The file the user chose to keep when the last generation ended ReplaceRefused.
    const std::string& keptFile() const { return keptFile_; }
    // The generation inconsistency list: one message per line.
    std::vector<std::string> generationInconsistencies() const;
    // The error that ended the last GenerarDatosDJ, if one did.
    const std::optional<std::string>& lastError() const { return lastError_; }

private:
    friend GenerationOutcome GenerarEnDestino(BGenerarDJs& generator, const std::string& destination);
    friend std::optional<std::filesystem::path> CrearCarpeta(BGenerarDJs& generator,
                                                             const std::filesystem::path& parent,
                                                             const std::string& name);
    // After the step, or within the one after it by the share of its work done.
    void InformarProgreso(long step, double withinNext = 0);
    void ErrorLargoRegistro(const std::string& recordType);
    bool EncriptarArchivo();
    GenerationOutcome CopiarADestino();
    bool writePlainCopy();
    void showGenerationInconsistencies();
    void closeFiles();

    Context& context_;
    GenerationEvents* events_;
    std::string temporaryFile_;
    std::string headerFile_;
    std::string encryptedFile_;
    db::FileStream file_;
    long recordCount_ = 0;
    CifrasDeclaracion figures_;
    long totalSteps_ = 12;
    long currentStep_ = 0;
    double copyPercent_ = 0;
    InconsistencyList generationList_;
    std::optional<std::string> lastError_;
    std::string copyError_;
    std::string keptFile_;
};

// The generate dialog's "Crear Carpeta": creates the folder `name` inside `parent` and gives its
// path. When it cannot (no folder is chosen, the name is there already, it is blank or more than
// one folder name, or the medium refuses), the generator's list holds only kFolderNotCreated,
// which is shown under kFolderNotCreatedTitle, and nothing is given.
std::optional<std::filesystem::path> CrearCarpeta(BGenerarDJs& generator, const std::filesystem::path& parent,
                                                  const std::string& name);

// The generate dialog's Aceptar with the destination folder chosen: refuses a missing
// destination or one that is not a folder (under kNoDestinationTitle) and a missing encryption
// library, then runs the generator's GenerarDJs towards that folder and records the delivery's
// receipt.
GenerationOutcome GenerarEnDestino(BGenerarDJs& generator, const std::string& destination);

}  // namespace kapred
